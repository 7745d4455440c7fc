#include "json/fast/JKNumberSlab.h"

#include <new>

JKNumberSlab::~JKNumberSlab()
{
    // A number owns nothing and its destructor does nothing, so the numbers' storage is simply
    // given up: destroying them one by one would fetch every one of them again just to return.
}

fnd::Number* JKNumberSlab::makeNumber(fnd::Number::Type type, fnd::Number::Scalar scalar)
{
    return new (&m_numbers[m_count++]) fnd::Number(type, scalar);
}
