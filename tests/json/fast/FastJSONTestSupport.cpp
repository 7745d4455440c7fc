#include "FastJSONTestSupport.h"

#include "json/fast/JKError.h"
#include "platform/foundation/Number.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace brenzo::testing {

fnd::Id decodeJSON(std::string_view text, JKParseOptionFlags options, bool mutableCollections, fnd::Ref<fnd::Error>* error)
{
    auto decoder = JSONDecoder::decoderWithParseOptions(options);
    const char* bytes = text.data() ? text.data() : "";
    if (mutableCollections)
        return decoder->mutableObjectWithUTF8StringLengthError(bytes, text.size(), error);
    return decoder->objectWithUTF8StringLengthError(bytes, text.size(), error);
}

DecodeFailure decodeFailure(std::string_view text, JKParseOptionFlags options)
{
    fnd::Ref<fnd::Error> error;
    if (decodeJSON(text, options, false, &error) || !error)
        return {};
    DecodeFailure failure { error->localizedDescription(), std::nullopt, std::nullopt };
    if (auto index = error->userInfo()->objectForKeyAs<fnd::Number>(JKAtIndexKey))
        failure.index = index->unsignedLongLongValue();
    if (auto line = error->userInfo()->objectForKeyAs<fnd::Number>(JKLineNumberKey))
        failure.line = line->unsignedLongLongValue();
    return failure;
}

std::optional<std::string> readBenchmarkDocument(std::string_view name)
{
    auto path = std::filesystem::path(BRENZO_SOURCE_DIR) / ".." / "shared" / "data" / "json" / (std::string(name) + ".json");
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return std::nullopt;
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

}
