#pragma once

#include "platform/foundation/Object.h"

#include <memory>
#include <string>
#include <string_view>

namespace ui {

class Event;
class TouchSet;

// An object in the chain that touches and first-responder requests travel along: views, view
// controllers, windows and the application. Responders live in shared pointers.
class Responder : public fnd::Object, public std::enable_shared_from_this<Responder> {
public:
    ~Responder() override;

    std::string_view className() const override { return "Responder"; }

    // The next object up the chain, or nothing at its end.
    virtual std::shared_ptr<Responder> nextResponder() const;

    // Touches not handled here go up the chain, as on the device.
    virtual void touchesBegan(const TouchSet&, const Event&);
    virtual void touchesMoved(const TouchSet&, const Event&);
    virtual void touchesEnded(const TouchSet&, const Event&);
    virtual void touchesCancelled(const TouchSet&, const Event&);

    // Keyboard focus. Views become first responder of their window; see View.
    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool becomeFirstResponder() { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    virtual bool resignFirstResponder() { return true; }
    virtual bool isFirstResponder() const { return false; }

    // A shared pointer to this object as its own class.
    template<typename T>
    std::shared_ptr<T> sharedAs()
    {
        return std::dynamic_pointer_cast<T>(weak_from_this().lock());
    }
    template<typename T>
    std::shared_ptr<const T> sharedAs() const
    {
        return std::dynamic_pointer_cast<const T>(weak_from_this().lock());
    }

protected:
    Responder() = default;
};

}
