#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fnd;

namespace {

using Strings = std::vector<std::string>;

}

TEST(NotificationCenter, ObserversMatchByNameAndSenderIdentity)
{
    NotificationCenter center;
    int sharer = 0;
    int otherSharer = 0;
    Strings seen;
    auto anySender = center.addObserver("SHKSendDidFinish", nullptr, [&](const Notification& notification) {
        seen.push_back("any:" + notification.name());
    });
    auto onlySharer = center.addObserver("SHKSendDidFinish", &sharer, [&](const Notification& notification) {
        EXPECT_EQ(notification.object(), &sharer);
        seen.push_back(notification.userInfo() ? "sharer with info" : "sharer");
    });
    auto everyName = center.addObserver("", &otherSharer, [&](const Notification& notification) {
        seen.push_back("other:" + notification.name());
    });

    center.post("SHKSendDidFinish", &sharer, Dictionary::create());
    center.post("SHKSendDidFinish", &otherSharer);
    center.post("SHKSendDidCancel", &otherSharer);
    center.post("SHKSendDidFinish");

    EXPECT_EQ(seen, (Strings { "any:SHKSendDidFinish", "sharer with info", "any:SHKSendDidFinish", "other:SHKSendDidFinish", "other:SHKSendDidCancel", "any:SHKSendDidFinish" }));
}

TEST(NotificationCenter, AnObserverRemovedDuringAPostIsNotCalledAfterwards)
{
    NotificationCenter center;
    Strings seen;
    ObserverToken second;
    auto first = center.addObserver("changed", nullptr, [&](const Notification&) {
        seen.push_back("first");
        center.removeObserver(second);
    });
    second = center.addObserver("changed", nullptr, [&](const Notification&) { seen.push_back("second"); });
    center.post("changed");
    center.post("changed");
    EXPECT_EQ(seen, (Strings { "first", "first" }));
}

TEST(NotificationCenter, ObserversMayRemoveThemselvesAndAddOthersWhileCalled)
{
    NotificationCenter center;
    Strings seen;
    ObserverToken added;
    ObserverToken once;
    once = center.addObserver("SHKHideCurrentViewFinished", nullptr, [&](const Notification&) {
        seen.push_back("once");
        once.remove();
        added = center.addObserver("SHKHideCurrentViewFinished", nullptr, [&](const Notification&) { seen.push_back("added"); });
    });
    center.post("SHKHideCurrentViewFinished");
    center.post("SHKHideCurrentViewFinished");
    EXPECT_EQ(seen, (Strings { "once", "added" }));
    EXPECT_FALSE(once.isActive());
}

TEST(NotificationCenter, ATokenRemovesItsObserverWhenItGoes)
{
    NotificationCenter center;
    int calls = 0;
    {
        auto token = center.addObserver("ping", nullptr, [&](const Notification&) { ++calls; });
        center.post("ping");
        ObserverToken moved = std::move(token);
        EXPECT_FALSE(token.isActive());
        center.post("ping");
    }
    center.post("ping");
    EXPECT_EQ(calls, 2);

    // A token may outlive its center.
    ObserverToken outliving;
    {
        NotificationCenter shortLived;
        outliving = shortLived.addObserver("ping", nullptr, [&](const Notification&) { ++calls; });
    }
    outliving.remove();
    EXPECT_EQ(calls, 2);
}
