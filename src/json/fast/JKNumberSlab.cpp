#include "json/fast/JKNumberSlab.h"

#include <new>

JKNumberSlab::~JKNumberSlab()
{
    for (size_t index = 0; index < m_count; ++index)
        std::launder(reinterpret_cast<fnd::Number*>(&m_numbers[index]))->~Number();
}

fnd::Number* JKNumberSlab::makeNumber(fnd::Number::Type type, fnd::Number::Scalar scalar)
{
    return new (&m_numbers[m_count++]) fnd::Number(type, scalar);
}
