#include "FastJSONTestSupport.h"

#include "json/fast/FastJSONSerializing.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/String.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace brenzo::testing;

namespace {

std::string sampleDocument(int seed)
{
    std::string text = "[";
    for (int index = 0; index < 400; ++index) {
        text += (index ? "," : "") + std::string("{\"id\":") + std::to_string(seed * 1000 + index) + ",\"name\":\"item " + std::to_string(index % 37)
            + "\",\"tags\":[\"a\",\"b\"],\"ratio\":" + std::to_string(index) + ".25}";
    }
    return text + "]";
}

// Values are made on one thread and released on another; each thread keeps its own decoder.
TEST(DecoderThreads, ValuesMayBeReleasedOnAnyThread)
{
    constexpr int threadCount = 4;
    std::vector<fnd::Id> results(threadCount);
    std::vector<std::thread> threads;
    for (int thread = 0; thread < threadCount; ++thread) {
        threads.emplace_back([thread, &results] {
            auto decoder = JSONDecoder::decoder();
            std::string text = sampleDocument(thread);
            for (int round = 0; round < 30; ++round)
                results[static_cast<size_t>(thread)] = decoder->objectWithUTF8StringLength(text.data(), text.size());
        });
    }
    for (auto& thread : threads)
        thread.join();
    threads.clear();

    for (int thread = 0; thread < threadCount; ++thread) {
        auto array = fnd::as<fnd::Array>(results[static_cast<size_t>(thread)]);
        ASSERT_TRUE(array);
        EXPECT_EQ(array->count(), 400u);
        EXPECT_EQ(FastJSONSerializing::JSONString(array)->utf8().size(), FastJSONSerializing::JSONString(fnd::as<fnd::Array>(decodeJSON(sampleDocument(thread))))->utf8().size());
    }
    results.clear();

    // Now the other way round: made here, released there.
    std::vector<fnd::Id> handed;
    for (int thread = 0; thread < threadCount; ++thread)
        handed.push_back(decodeJSON(sampleDocument(thread)));
    for (int thread = 0; thread < threadCount; ++thread)
        threads.emplace_back([value = std::move(handed[static_cast<size_t>(thread)])]() mutable { value.reset(); });
    for (auto& thread : threads)
        thread.join();
    EXPECT_TRUE(decodeJSON(sampleDocument(9)));
}

}
