#pragma once

#include "platform/foundation/Object.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace rt {

// The operations a class answers by name ("editAction:"), standing in for the platform's sending
// of a message whose name is only known at run time (a terminal command, a stored name). Each
// class lists its own under its class name; a receiver is looked up by its className(). Safe to
// use from any thread; operations run on the caller's.
class OperationTable {
public:
    using Operation = std::function<void(fnd::Object& receiver, const fnd::Id& argument)>;

    static OperationTable& shared();

    // Replaces an operation of the same name.
    void add(std::string_view className, std::string name, Operation);

    // A member function taking the argument (or nothing) of the class `Receiver`.
    template<typename Receiver, typename Method>
    void add(std::string_view className, std::string name, Method method)
    {
        add(className, std::move(name), [method](fnd::Object& receiver, const fnd::Id& argument) {
            auto* typed = dynamic_cast<Receiver*>(&receiver);
            if (!typed)
                return;
            if constexpr (std::is_invocable_v<Method, Receiver&, const fnd::Id&>)
                std::invoke(method, *typed, argument);
            else
                std::invoke(method, *typed);
        });
    }

    bool respondsTo(const fnd::Object& receiver, std::string_view name) const;
    // Answers false, and does nothing, when the receiver's class has no such operation.
    bool perform(fnd::Object& receiver, std::string_view name, const fnd::Id& argument = {}) const;
    // In alphabetical order.
    std::vector<std::string> operationNames(const fnd::Object& receiver) const;

private:
    Operation find(const fnd::Object& receiver, std::string_view name) const;

    mutable std::mutex m_lock;
    std::map<std::string, std::map<std::string, Operation, std::less<>>, std::less<>> m_classes;
};

}
