#include "platform/network/Reachability.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/network/HostNetwork.h"
#include "platform/network/HostResolver.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace net {

namespace {

// The override in one word: the mode in the high half, the flags in the low one.
enum class OverrideMode : uint64_t {
    None = 0,
    Flags = 1,
    Unreadable = 2,
};

std::atomic<uint64_t>& overrideWord()
{
    static std::atomic<uint64_t> word { 0 };
    return word;
}

void storeOverride(OverrideMode mode, ReachabilityFlags flags = {})
{
    overrideWord().store(static_cast<uint64_t>(mode) << 32 | flags.bits());
}

// The references that watch for changes, told when the override changes.
struct Watchers {
    std::mutex lock;
    std::vector<std::weak_ptr<Reachability>> references;
};

Watchers& watchers()
{
    static Watchers watchers;
    return watchers;
}

}

std::shared_ptr<Reachability> Reachability::createWithAddress(const sockaddr* address, socklen_t length)
{
    auto ipAddress = IPAddress::fromSocketAddress(address, length);
    return ipAddress ? createWithAddress(*ipAddress) : nullptr;
}

std::shared_ptr<Reachability> Reachability::createWithAddress(const IPAddress& address)
{
    return std::make_shared<Reachability>(address, std::string());
}

std::shared_ptr<Reachability> Reachability::createWithHostName(std::string_view hostName)
{
    if (hostName.empty())
        return nullptr;
    return std::make_shared<Reachability>(std::nullopt, std::string(hostName));
}

Reachability::Reachability(std::optional<IPAddress> address, std::string hostName)
    : m_address(std::move(address))
    , m_hostName(std::move(hostName))
{
}

Reachability::~Reachability()
{
    if (m_timer)
        m_timer->invalidate();
}

std::optional<ReachabilityFlags> Reachability::flags() const
{
    uint64_t word = overrideWord().load();
    switch (static_cast<OverrideMode>(word >> 32)) {
    case OverrideMode::Flags:
        return ReachabilityFlags::fromBits(static_cast<uint32_t>(word));
    case OverrideMode::Unreadable:
        return std::nullopt;
    case OverrideMode::None:
        break;
    }
    return readFlags();
}

std::optional<ReachabilityFlags> Reachability::readFlags() const
{
    auto network = HostNetwork::current();
    if (!network)
        return std::nullopt;
    if (m_address)
        return network->flagsForAddress(*m_address);

    auto addresses = HostResolver::resolve(m_hostName);
    if (!addresses)
        return ReachabilityFlags();
    for (auto& address : *addresses) {
        auto flags = network->flagsForAddress(address);
        if (flags.contains(ReachabilityFlag::Reachable))
            return flags;
    }
    return ReachabilityFlags();
}

void Reachability::setCallback(Callback callback)
{
    m_callback = std::move(callback);
}

bool Reachability::scheduleOnMainRunLoop()
{
    if (m_timer)
        return true;
    m_lastFlags = flags();
    std::weak_ptr<Reachability> weakThis = weak_from_this();
    m_timer = fnd::RunLoop::main().scheduleTimer(pollInterval, true, [weakThis](fnd::Timer&) {
        if (auto reference = weakThis.lock())
            reference->checkForChange();
    });
    std::lock_guard guard(watchers().lock);
    std::erase_if(watchers().references, [](auto& reference) { return reference.expired(); });
    watchers().references.push_back(weakThis);
    return true;
}

void Reachability::unscheduleFromMainRunLoop()
{
    if (!m_timer)
        return;
    m_timer->invalidate();
    m_timer = nullptr;
    std::lock_guard guard(watchers().lock);
    std::erase_if(watchers().references, [this](auto& reference) {
        auto locked = reference.lock();
        return !locked || locked.get() == this;
    });
}

void Reachability::checkForChange()
{
    if (!m_timer)
        return;
    // Unreadable flags are no news: the next readable ones are compared with the last ones seen.
    auto current = flags();
    if (!current || current == m_lastFlags)
        return;
    m_lastFlags = current;
    if (m_callback)
        m_callback(*this, *current);
}

void Reachability::setOverride(ReachabilityFlags flags)
{
    storeOverride(OverrideMode::Flags, flags);
    overrideChanged();
}

void Reachability::setOverrideUnreadable()
{
    storeOverride(OverrideMode::Unreadable);
    overrideChanged();
}

void Reachability::clearOverride()
{
    storeOverride(OverrideMode::None);
    overrideChanged();
}

void Reachability::overrideChanged()
{
    std::vector<std::weak_ptr<Reachability>> references;
    {
        std::lock_guard guard(watchers().lock);
        references = watchers().references;
    }
    for (auto& reference : references) {
        fnd::RunLoop::main().post([reference] {
            if (auto locked = reference.lock())
                locked->checkForChange();
        });
    }
}

}
