#include "platform/foundation/ObserverToken.h"

#include <utility>

namespace fnd {

ObserverToken::ObserverToken(std::function<void()> removal)
    : m_removal(std::move(removal))
{
}

ObserverToken::~ObserverToken()
{
    remove();
}

ObserverToken::ObserverToken(ObserverToken&& other) noexcept
    : m_removal(std::exchange(other.m_removal, nullptr))
{
}

ObserverToken& ObserverToken::operator=(ObserverToken&& other) noexcept
{
    if (this != &other) {
        remove();
        m_removal = std::exchange(other.m_removal, nullptr);
    }
    return *this;
}

void ObserverToken::remove()
{
    if (auto removal = std::exchange(m_removal, nullptr))
        removal();
}

}
