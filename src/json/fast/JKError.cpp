#include "json/fast/JKError.h"

#include "platform/foundation/Number.h"
#include "platform/foundation/String.h"

fnd::Ref<fnd::Error> JKErrorWithDescription(std::string description)
{
    return fnd::Error::withDescription(std::string(JKErrorDomain), -1, std::move(description));
}

fnd::Ref<fnd::Error> JKErrorWithDescriptionAtPosition(std::string description, size_t index, size_t line)
{
    auto userInfo = fnd::Dictionary::create({
        { fnd::String::create(fnd::Error::localizedDescriptionKey), fnd::String::create(std::move(description)) },
        { fnd::String::create(JKAtIndexKey), fnd::Number::withUnsigned(index) },
        { fnd::String::create(JKLineNumberKey), fnd::Number::withUnsigned(line) },
    });
    return fnd::Error::create(std::string(JKErrorDomain), -1, std::move(userInfo));
}
