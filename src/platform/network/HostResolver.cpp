#include "platform/network/HostResolver.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <thread>

namespace net {

namespace {

struct Settings {
    std::mutex lock;
    double timeout = 1.0;
    HostResolver::Lookup lookup;
};

Settings& settings()
{
    static Settings settings;
    return settings;
}

// Shared between the waiting caller and the lookup thread, which may outlive the caller.
struct PendingLookup {
    std::mutex lock;
    std::condition_variable finished;
    std::optional<std::vector<IPAddress>> addresses;
};

}

std::optional<std::vector<IPAddress>> HostResolver::resolve(const std::string& hostName)
{
    if (auto numeric = IPAddress::fromText(hostName))
        return std::vector<IPAddress> { *numeric };

    Lookup lookup;
    double waitSeconds;
    {
        std::lock_guard guard(settings().lock);
        lookup = settings().lookup ? settings().lookup : systemLookup;
        waitSeconds = settings().timeout;
    }

    auto pending = std::make_shared<PendingLookup>();
    std::thread([pending, lookup = std::move(lookup), hostName] {
        auto addresses = lookup(hostName);
        std::lock_guard guard(pending->lock);
        pending->addresses = std::move(addresses);
        pending->finished.notify_all();
    }).detach();

    std::unique_lock guard(pending->lock);
    pending->finished.wait_for(guard, std::chrono::duration<double>(waitSeconds), [&] { return pending->addresses.has_value(); });
    return pending->addresses;
}

double HostResolver::timeout()
{
    std::lock_guard guard(settings().lock);
    return settings().timeout;
}

void HostResolver::setTimeout(double seconds)
{
    std::lock_guard guard(settings().lock);
    settings().timeout = seconds;
}

void HostResolver::setLookup(Lookup lookup)
{
    std::lock_guard guard(settings().lock);
    settings().lookup = std::move(lookup);
}

std::vector<IPAddress> HostResolver::systemLookup(const std::string& hostName)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (getaddrinfo(hostName.c_str(), nullptr, &hints, &results) != 0)
        return {};
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(results, freeaddrinfo);
    std::vector<IPAddress> addresses;
    for (auto* entry = results; entry; entry = entry->ai_next) {
        if (auto address = IPAddress::fromSocketAddress(entry->ai_addr, entry->ai_addrlen))
            addresses.push_back(*address);
    }
    return addresses;
}

}
