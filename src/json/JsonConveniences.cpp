#include "json/JsonConveniences.h"

#include "json/JsonParser.h"
#include "json/JsonWriter.h"

#include "platform/foundation/Error.h"
#include "platform/foundation/Format.h"
#include "platform/foundation/Log.h"

namespace {

// One line per error. The platform's own description of an error repeats its whole chain of
// underlying errors, which would make the text of a deep failure's trace grow with the cube of
// its length.
std::string describeTrace(const fnd::Ref<fnd::Array>& trace)
{
    if (!trace)
        return "(null)";
    std::string text = "(";
    for (size_t index = 0; index < trace->count(); ++index) {
        text += index ? ",\n    " : "\n    ";
        if (auto error = trace->objectAtIndexAs<fnd::Error>(index))
            text += fnd::format("Error Domain=%s Code=%lld \"%s\"", error->domain(), error->code(), error->localizedDescription());
        else
            text += fnd::descriptionOf(trace->objectAtIndex(index));
    }
    text += "\n)";
    return text;
}

void logFailure(std::string_view operation, const JsonCodecBase& worker)
{
    fnd::Log::format("%s failed. Error trace is: %@", operation, describeTrace(worker.errorTrace()));
}

}

fnd::Id JSONValue(const fnd::Ref<fnd::String>& string)
{
    JsonParser parser;
    fnd::Id value = parser.objectWithString(string);
    if (!value)
        logFailure("-JSONValue", parser);
    return value;
}

fnd::Id JSONFragmentValue(const fnd::Ref<fnd::String>& string)
{
    JsonParser parser;
    fnd::Id value = parser.fragmentWithString(string);
    if (!value)
        logFailure("-JSONFragmentValue", parser);
    return value;
}

fnd::Ref<fnd::String> JSONRepresentation(const fnd::Id& value)
{
    JsonWriter writer;
    auto text = writer.stringWithObject(value);
    if (!text)
        logFailure("-JSONRepresentation", writer);
    return text;
}

fnd::Ref<fnd::String> JSONFragment(const fnd::Id& value)
{
    JsonWriter writer;
    auto text = writer.stringWithFragment(value);
    if (!text)
        logFailure("-JSONFragment", writer);
    return text;
}
