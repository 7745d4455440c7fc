#include "platform/runtime/Hook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace rt;

namespace {

struct Composer {
    bool hasModalOver = false;
};

}

TEST(Hook, HandlersRunInInstallationOrderWithTheArguments)
{
    Hook<Composer&, bool> viewDidDisappear("composer view did disappear");
    EXPECT_EQ(viewDidDisappear.name(), "composer view did disappear");
    Composer composer;
    viewDidDisappear.call(composer, true); // nothing installed: nothing happens
    EXPECT_FALSE(viewDidDisappear.hasHandlers());

    std::vector<std::string> calls;
    viewDidDisappear.install([&](Composer& shown, bool animated) {
        calls.push_back(std::string("first ") + (animated ? "animated" : "still"));
        shown.hasModalOver = true;
    });
    viewDidDisappear.install([&](Composer& shown, bool) { calls.push_back(shown.hasModalOver ? "second saw first" : "second"); });
    viewDidDisappear.call(composer, false);
    EXPECT_EQ(calls, (std::vector<std::string> { "first still", "second saw first" }));
    EXPECT_TRUE(composer.hasModalOver);
}

TEST(Hook, UninstallingAndChangesDuringACall)
{
    Hook<> dismissed("dismissed");
    int first = 0;
    int second = 0;
    int late = 0;
    Hook<>::Handle secondHandle = 0;
    auto firstHandle = dismissed.install([&] {
        ++first;
        dismissed.uninstall(secondHandle);
        dismissed.install([&] { ++late; });
    });
    secondHandle = dismissed.install([&] { ++second; });

    dismissed.call();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1); // removed during the call: still part of that call
    EXPECT_EQ(late, 0);   // added during the call: from the next one on

    EXPECT_TRUE(dismissed.uninstall(firstHandle));
    EXPECT_FALSE(dismissed.uninstall(firstHandle));
    dismissed.call();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(late, 1);
}
