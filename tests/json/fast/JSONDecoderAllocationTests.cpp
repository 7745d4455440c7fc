// Counts the global allocations of a parse: once a decoder is warm, a parse allocates nothing beyond
// the objects it returns, which come from the decoder's pool.

#include "FastJSONTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

thread_local bool isCounting = false;
thread_local size_t allocationCount = 0;
// How many allocations succeed before one fails; negative: none fails.
thread_local long allocationsBeforeFailure = -1;

void failIfDue()
{
    if (allocationsBeforeFailure < 0)
        return;
    if (allocationsBeforeFailure-- == 0)
        throw std::bad_alloc();
}

}

void* operator new(size_t size)
{
    if (isCounting)
        ++allocationCount;
    failIfDue();
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

// The no-throw form must come from the same heap, since the deletes below free it.
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    if (isCounting)
        ++allocationCount;
    return std::malloc(size ? size : 1);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, size_t) noexcept
{
    std::free(memory);
}

namespace {

TEST(DecoderAllocations, AWarmDecoderAllocatesNoScratchMemory)
{
    const std::string text = R"({"list":[1,2.5,"short",true,null,{"k":[[],{}]}],"again":"short","n":-7})";
    auto decoder = JSONDecoder::decoder();
    for (int round = 0; round < 3; ++round)
        ASSERT_TRUE(decoder->objectWithUTF8StringLength(text.data(), text.size()));

    allocationCount = 0;
    isCounting = true;
    fnd::Id value = decoder->objectWithUTF8StringLength(text.data(), text.size());
    isCounting = false;
    EXPECT_TRUE(value);
    EXPECT_EQ(allocationCount, 0u);
}

TEST(DecoderAllocations, RunningOutOfMemoryFailsTheParseInsteadOfThrowing)
{
    const std::string text = R"({"a":[1,2.5,"a string long enough to be copied \u00e9",{"k":[[],{}],"s":"\ud83d\ude00"}],"b":-7e300,"c":[true,null]})";
    int failures = 0;
    for (long allowed = 0; allowed < 500; ++allowed) {
        auto decoder = JSONDecoder::decoder();
        fnd::Ref<fnd::Error> error;
        fnd::Id value;
        allocationsBeforeFailure = allowed;
        EXPECT_NO_THROW(value = decoder->objectWithUTF8StringLengthError(text.data(), text.size(), &error)) << allowed;
        bool failed = allocationsBeforeFailure < 0;
        allocationsBeforeFailure = -1;
        if (!failed) {
            EXPECT_TRUE(value);
            break;
        }
        ++failures;
        EXPECT_FALSE(value) << allowed;
        ASSERT_TRUE(error) << allowed;
        EXPECT_EQ(error->localizedDescription().rfind("Internal error", 0), 0u) << error->localizedDescription();
    }
    EXPECT_GT(failures, 0);
}

}
