#include "platform/foundation/KeyValueObserving.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace fnd;

namespace {

using Strings = std::vector<std::string>;

class Request : public KeyValueObservable {
public:
    int state() const { return m_state; }
    void setState(int state)
    {
        willChangeValueForKey("state");
        m_state = state;
        didChangeValueForKey("state");
    }

private:
    int m_state = 0;
};

std::string describe(std::string_view key, KeyValueChange change)
{
    return std::string(change == KeyValueChange::WillChange ? "will " : "did ") + std::string(key);
}

}

TEST(KeyValueObserving, ObserversSeeWillThenDidAroundTheChangeForTheirKeyOnly)
{
    Request request;
    Strings seen;
    auto stateToken = request.addObserverForKey("state", [&](std::string_view key, KeyValueChange change) {
        seen.push_back(describe(key, change) + " " + std::to_string(request.state()));
    });
    auto otherToken = request.addObserverForKey("errorTrace", [&](std::string_view key, KeyValueChange change) {
        seen.push_back(describe(key, change));
    });
    request.setState(2);
    EXPECT_EQ(seen, (Strings { "will state 0", "did state 2" }));

    stateToken.remove();
    request.setState(3);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(KeyValueObserving, ObserversRemovedDuringACallbackAreNotCalledAfterwards)
{
    Request request;
    Strings seen;
    ObserverToken second;
    auto first = request.addObserverForKey("state", [&](std::string_view, KeyValueChange change) {
        seen.push_back("first");
        if (change == KeyValueChange::DidChange)
            second.remove();
    });
    second = request.addObserverForKey("state", [&](std::string_view, KeyValueChange) { seen.push_back("second"); });
    request.setState(1);
    request.setState(2);
    EXPECT_EQ(seen, (Strings { "first", "second", "first", "first", "first" }));
}

TEST(KeyValueObserving, TheObservedObjectMayDieInsideTheCallback)
{
    // Like a session that stops observing a finished request and drops it from its set.
    std::set<std::shared_ptr<Request>> requests;
    auto request = std::make_shared<Request>();
    requests.insert(request);
    std::weak_ptr<Request> weakRequest = request;
    ObserverToken token;
    token = request->addObserverForKey("state", [&](std::string_view, KeyValueChange change) {
        auto alive = weakRequest.lock();
        if (change == KeyValueChange::DidChange && alive && alive->state() == 2) {
            token.remove();
            requests.erase(alive);
        }
    });
    Request* raw = request.get();
    request.reset();
    raw->setState(2);
    EXPECT_TRUE(requests.empty());
    EXPECT_TRUE(weakRequest.expired());
}

TEST(KeyValueObserving, ATokenThatOutlivesTheObjectDoesNothing)
{
    ObserverToken token;
    {
        Request request;
        token = request.addObserverForKey("state", [](std::string_view, KeyValueChange) { });
    }
    EXPECT_TRUE(token.isActive());
    token.remove();
    EXPECT_FALSE(token.isActive());
}

TEST(KeyValueObserving, ACopyStartsWithoutObservers)
{
    Request original;
    int calls = 0;
    auto token = original.addObserverForKey("state", [&](std::string_view, KeyValueChange) { ++calls; });
    Request copy = original;
    copy.setState(1);
    EXPECT_EQ(calls, 0);
    original.setState(1);
    EXPECT_EQ(calls, 2);
}
