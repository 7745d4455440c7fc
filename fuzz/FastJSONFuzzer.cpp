// Feeds each input to the fast decoder under every option, compares its strict reading with
// RapidJSON's, and checks that what it decodes encodes back to an equal value.

#include "RapidJSONComparison.h"

#include "json/fast/JKSerializer.h"
#include "json/fast/JSONDecoder.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/String.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& input)
{
    std::fprintf(stderr, "%s\ninput (%zu bytes): %s\n", what.c_str(), input.size(), input.c_str());
    std::abort();
}

// Warm decoders, one per option set, so that the value cache carries over from input to input.
JSONDecoder& decoderFor(JKParseOptionFlags options)
{
    static std::array<fnd::Ref<JSONDecoder>, JKParseOptionValidFlags + 1> decoders;
    auto& decoder = decoders[options];
    if (!decoder)
        decoder = JSONDecoder::decoderWithParseOptions(options);
    return *decoder;
}

void checkRoundTrip(const fnd::Id& decoded, const std::string& input)
{
    for (JKSerializeOptionFlags options : std::array<JKSerializeOptionFlags, 2> { JKSerializeOptionNone, JKSerializeOptionPretty | JKSerializeOptionEscapeUnicode }) {
        fnd::Ref<fnd::Error> error;
        auto encoded = fnd::as<fnd::String>(JKSerializer::serializeObjectOptionsEncodeOptionBlockDelegateSelectorError(
            decoded, options, JKEncodeOptionAsString, nullptr, nullptr, nullptr, &error));
        if (!encoded)
            fail("a decoded value did not encode: " + (error ? error->localizedDescription() : std::string("no error")), input);
        const std::string& text = encoded->utf8();
        fnd::Id again = decoderFor(JKParseOptionStrict).objectWithUTF8StringLengthError(text.data(), text.size(), nullptr);
        if (!again || !fnd::isEqual(decoded, again))
            fail("the encoded value decodes to something else: " + text, input);
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    if (std::string problem = brenzo::testing::disagreementWithRapidJSON(input); !problem.empty())
        fail("disagrees with RapidJSON: " + problem, input);

    for (JKParseOptionFlags options = 0; options <= JKParseOptionValidFlags; ++options) {
        for (bool isMutable : { false, true }) {
            fnd::Ref<fnd::Error> error;
            JSONDecoder& decoder = decoderFor(options);
            fnd::Id value = isMutable ? decoder.mutableObjectWithUTF8StringLengthError(input.data(), input.size(), &error)
                                      : decoder.objectWithUTF8StringLengthError(input.data(), input.size(), &error);
            if (!value && !error)
                fail("failed without an error", input);
            if (value && error)
                fail("answered a value and an error", input);
            if (value)
                checkRoundTrip(value, input);
        }
    }
    return 0;
}
