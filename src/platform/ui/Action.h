#pragma once

#include "platform/foundation/Object.h"

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

namespace ui {

// A target and the operation to send it, as controls and bar items keep them. The target is not
// retained (a message to a target that has gone is dropped), and the operation keeps its name, so
// tests and the terminal can see and press what a control would send:
//     Action::to(this, "rateAction:", &BoardController::rateAction)
class Action {
public:
    using Handler = std::function<void(const fnd::Id& sender)>;

    Action() = default;
    // An action with no target of its own, for callers that are not objects.
    Action(std::string name, Handler);

    template<typename Target, typename Method>
    static Action to(const std::shared_ptr<Target>& target, std::string name, Method method)
    {
        std::weak_ptr<Target> weakTarget = target;
        Action action(std::move(name), [weakTarget, method](const fnd::Id& sender) {
            if (auto strongTarget = weakTarget.lock())
                invoke(*strongTarget, method, sender);
        });
        action.m_target = std::weak_ptr<const void>(target);
        action.m_targetAddress = target.get();
        return action;
    }

    // For a target that lives in a shared pointer and can answer weak_from_this().
    template<typename Target, typename Method>
    static Action to(Target* target, std::string name, Method method)
    {
        auto owner = target ? target->weak_from_this().lock() : nullptr;
        if (!owner)
            return {};
        return to(std::shared_ptr<Target>(owner, target), std::move(name), method);
    }

    bool isEmpty() const { return !m_handler; }
    explicit operator bool() const { return !isEmpty(); }

    // The operation's name as the program spells it, e.g. "rateAction:".
    const std::string& name() const { return m_name; }
    // Identity of the target, for comparisons only; null for target-less actions.
    const void* targetAddress() const { return m_targetAddress; }
    bool hasTarget() const { return m_targetAddress; }
    bool targetIsAlive() const { return !hasTarget() || !m_target.expired(); }

    // Sends the operation; answers false when there was nothing to send it to.
    bool send(const fnd::Id& sender = {}) const;

private:
    template<typename Target, typename Method>
    static void invoke(Target& target, Method method, const fnd::Id& sender)
    {
        if constexpr (std::is_invocable_v<Method, Target&, const fnd::Id&>)
            std::invoke(method, target, sender);
        else
            std::invoke(method, target);
    }

    std::string m_name;
    Handler m_handler;
    std::weak_ptr<const void> m_target;
    const void* m_targetAddress = nullptr;
};

}
