#include "platform/foundation/Assertion.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <thread>

using namespace fnd;

namespace {

int guardedDivide(int value, int divisor)
{
    if (!FND_ASSERT(divisor != 0, "Classes/Example/Divider", "cannot divide %d by zero", value))
        return 0;
    return value / divisor;
}

struct ReportsInDestructor {
    ~ReportsInDestructor() { Assertions::report({ "torn down badly", "Classes/Example/Thing", 12, "~Thing" }); }
};

}

TEST(Assertions, DefaultHandlerThrowsWithMessageFileAndLine)
{
    LogCapture log;
    try {
        guardedDivide(7, 0);
        FAIL() << "expected an assertion failure";
    } catch (const AssertionFailure& failure) {
        EXPECT_EQ(failure.message(), "cannot divide 7 by zero");
        EXPECT_EQ(failure.file(), "Classes/Example/Divider");
        EXPECT_GT(failure.line(), 0);
        EXPECT_EQ(failure.name(), "NSInternalInconsistencyException");
    }
    EXPECT_TRUE(log.contains("cannot divide 7 by zero"));
}

TEST(Assertions, ReturningHandlerLetsTheOperationGoOn)
{
    std::vector<AssertionInfo> seen;
    ScopedAssertionHandler guard([&](const AssertionInfo& info) { seen.push_back(info); });
    EXPECT_EQ(guardedDivide(7, 0), 0);
    EXPECT_EQ(guardedDivide(8, 2), 4);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].file, "Classes/Example/Divider");
}

TEST(Assertions, GivenLinesAreKept)
{
    std::vector<AssertionInfo> seen;
    ScopedAssertionHandler guard([&](const AssertionInfo& info) { seen.push_back(info); });
    FND_ASSERT_AT_LINE(false, "Classes/Sharing/Classes/Sharing/Core/SHK", 200, "no root");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].line, 200);
}

TEST(Assertions, ReportsFromDestructorsNeverThrow)
{
    LogCapture log;
    EXPECT_NO_THROW({ ReportsInDestructor thing; });
    EXPECT_TRUE(log.contains("torn down badly"));
}

TEST(Assertions, HandlerIsRestoredWhenTheScopeEnds)
{
    {
        ScopedAssertionHandler guard([](const AssertionInfo&) { });
        EXPECT_NO_THROW(guardedDivide(1, 0));
    }
    LogCapture quiet;
    EXPECT_THROW(guardedDivide(1, 0), AssertionFailure);
}

TEST(Log, CapturesLinesFromEveryThread)
{
    LogCapture log;
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 4; ++thread)
        threads.emplace_back([thread] {
            for (int line = 0; line < 100; ++line)
                Log::format("worker %d line %d", thread, line);
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(log.count("worker"), 400u);
    EXPECT_TRUE(log.contains("worker 3 line 99"));
}
