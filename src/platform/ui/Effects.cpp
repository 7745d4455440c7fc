#include "platform/ui/Effects.h"

#include <algorithm>
#include <mutex>

namespace ui {

namespace {

struct Registry {
    // Held while observers run, so that an observer is never called after its removal returns.
    std::recursive_mutex lock;
    std::vector<std::pair<size_t, Effects::Observer>> observers;
    size_t nextToken = 1;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

}

void Effects::report(std::string line)
{
    std::lock_guard guard(registry().lock);
    auto observers = registry().observers;
    for (auto& entry : observers)
        entry.second(line);
}

size_t Effects::addObserver(Observer observer)
{
    std::lock_guard guard(registry().lock);
    size_t token = registry().nextToken++;
    registry().observers.emplace_back(token, std::move(observer));
    return token;
}

void Effects::removeObserver(size_t token)
{
    std::lock_guard guard(registry().lock);
    std::erase_if(registry().observers, [&](auto& entry) { return entry.first == token; });
}

}
