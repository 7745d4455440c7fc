#pragma once

#include "platform/foundation/ObserverToken.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace fnd {

enum class KeyValueChange {
    WillChange,
    DidChange,
};

// Key-value observation for classes that mix this in: the class brackets each change of an
// observed property with willChangeValueForKey() and didChangeValueForKey(), and observers of that
// key are called on the changing thread, in the order they were added. Observers may remove
// themselves or others from a callback, and may even let the observed object die there: nothing
// of the object is touched after the callbacks. A token that outlives the object does nothing.
class KeyValueObservable {
public:
    using Observer = std::function<void(std::string_view key, KeyValueChange)>;

    ObserverToken addObserverForKey(std::string key, Observer);

    void willChangeValueForKey(std::string_view key);
    void didChangeValueForKey(std::string_view key);

protected:
    KeyValueObservable();
    // A copy is a new object: it starts without observers.
    KeyValueObservable(const KeyValueObservable&);
    KeyValueObservable& operator=(const KeyValueObservable&);
    ~KeyValueObservable();

private:
    struct Registry;
    void notify(std::string_view key, KeyValueChange);

    std::shared_ptr<Registry> m_registry;
};

}
