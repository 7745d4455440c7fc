#include "FastJSONTestSupport.h"

#include "json/fast/JKError.h"
#include "support/TemporaryDirectory.h"
#include "platform/foundation/Number.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <memory>
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
    auto path = std::filesystem::path(BRENZO_SHARED_DATA_DIR) / "json" / (std::string(name) + ".json");
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return std::nullopt;
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

namespace {

constexpr const char* commaLocaleName = "de_DE.UTF-8";

// The folder holding the generated locale, made on first use; nothing when localedef failed.
const std::filesystem::path* commaLocaleFolder()
{
    static std::unique_ptr<TemporaryDirectory> folder = [] {
        auto made = std::make_unique<TemporaryDirectory>();
        std::string command = "localedef -i de_DE -f UTF-8 '" + (made->path() / commaLocaleName).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !std::filesystem::exists(made->path() / commaLocaleName / "LC_NUMERIC"))
            made.reset();
        return made;
    }();
    return folder ? &folder->path() : nullptr;
}

}

ScopedCommaDecimalLocale::ScopedCommaDecimalLocale()
    : m_previous(std::setlocale(LC_NUMERIC, nullptr))
{
    if (std::setlocale(LC_NUMERIC, commaLocaleName)) {
        m_isActive = true;
        return;
    }
    auto* folder = commaLocaleFolder();
    if (!folder)
        return;
    setenv("LOCPATH", folder->c_str(), 1);
    m_isActive = std::setlocale(LC_NUMERIC, commaLocaleName) != nullptr;
    unsetenv("LOCPATH");
}

ScopedCommaDecimalLocale::~ScopedCommaDecimalLocale()
{
    std::setlocale(LC_NUMERIC, m_previous.c_str());
}

}
