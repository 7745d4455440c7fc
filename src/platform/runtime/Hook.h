#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace rt {

// A named point where a class lets other parts add behaviour, in place of the platform's exchange
// of implementations: the class calls the hook at that point (e.g. a composer's "view did
// disappear"), and parts install handlers on it. Handlers run in installation order on the
// calling thread; handlers installed or removed during a call take effect from the next call.
template<typename... Arguments>
class Hook {
public:
    using Handler = std::function<void(Arguments...)>;
    using Handle = uint64_t;

    explicit Hook(std::string name)
        : m_name(std::move(name))
    {
    }

    Hook(const Hook&) = delete;
    Hook& operator=(const Hook&) = delete;

    const std::string& name() const { return m_name; }

    Handle install(Handler handler)
    {
        std::lock_guard guard(m_lock);
        Handle handle = m_nextHandle++;
        m_handlers.push_back({ handle, std::make_shared<Handler>(std::move(handler)) });
        return handle;
    }

    // Answers whether the handler was installed.
    bool uninstall(Handle handle)
    {
        std::shared_ptr<Handler> removed;
        std::lock_guard guard(m_lock);
        auto found = std::find_if(m_handlers.begin(), m_handlers.end(), [&](auto& entry) { return entry.first == handle; });
        if (found == m_handlers.end())
            return false;
        removed = std::move(found->second);
        m_handlers.erase(found);
        return true;
    }

    bool hasHandlers() const
    {
        std::lock_guard guard(m_lock);
        return !m_handlers.empty();
    }

    void call(Arguments... arguments) const
    {
        std::vector<std::shared_ptr<Handler>> handlers;
        {
            std::lock_guard guard(m_lock);
            for (auto& entry : m_handlers)
                handlers.push_back(entry.second);
        }
        for (auto& handler : handlers)
            (*handler)(arguments...);
    }

private:
    std::string m_name;
    mutable std::mutex m_lock;
    std::vector<std::pair<Handle, std::shared_ptr<Handler>>> m_handlers;
    Handle m_nextHandle = 1;
};

}
