#pragma once

#include <functional>

namespace fnd {

// Keeps an observation (a notification observer, a key-value observer) alive for as long as it
// lives; destroying or resetting it removes the observer. Removing twice, or after the observed
// object has gone, does nothing.
class [[nodiscard]] ObserverToken {
public:
    ObserverToken() = default;
    explicit ObserverToken(std::function<void()> removal);
    ~ObserverToken();

    ObserverToken(ObserverToken&&) noexcept;
    ObserverToken& operator=(ObserverToken&&) noexcept;
    ObserverToken(const ObserverToken&) = delete;
    ObserverToken& operator=(const ObserverToken&) = delete;

    void remove();
    bool isActive() const { return static_cast<bool>(m_removal); }

private:
    std::function<void()> m_removal;
};

}
