#pragma once

#include "platform/foundation/Data.h"
#include "platform/foundation/Error.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fnd {

// Files and the application's standard folders. Everything lives below one home folder: the
// application sets it from "--home DIR", tests point it at a temporary folder.
//
// Ordinary I/O failures are answered (false or nothing) and described through the optional error
// out-argument (domain "NSCocoaErrorDomain", the POSIX error as its underlying error); nothing here
// throws for them.
class FileManager {
public:
    using Path = std::filesystem::path;

    static constexpr std::string_view errorDomain = "NSCocoaErrorDomain";
    static constexpr std::string_view posixErrorDomain = "NSPOSIXErrorDomain";
    static constexpr std::string_view filePathErrorKey = "NSFilePath";
    // Codes of the platform's file errors.
    static constexpr int64_t noSuchFileError = 4;
    static constexpr int64_t readUnknownError = 256;
    static constexpr int64_t readNoPermissionError = 257;
    static constexpr int64_t readNoSuchFileError = 260;
    static constexpr int64_t readTooLargeError = 263;
    static constexpr int64_t writeUnknownError = 512;
    static constexpr int64_t writeNoPermissionError = 513;
    static constexpr int64_t writeFileExistsError = 516;
    static constexpr int64_t writeOutOfSpaceError = 640;

    // "~/.local/share/brenzo" (below $XDG_DATA_HOME when that is set).
    static Path defaultHomeDirectory();
    static Path homeDirectory();
    static void setHomeDirectory(Path);

    // The standard folders below the home folder; each is created when missing.
    static Path documentsDirectory();
    static Path libraryDirectory();
    static Path cachesDirectory();
    static Path preferencesDirectory();

    static bool fileExists(const Path&);
    static bool fileExists(const Path&, bool& isDirectory);
    static bool isDirectory(const Path&);

    // Creates the folder and any missing parents; an existing folder is success.
    static bool createDirectory(const Path&, Ref<Error>* = nullptr);
    static Ref<Data> contentsOfFile(const Path&, Ref<Error>* = nullptr);
    // Refuses (readTooLargeError) a file longer than `maximumLength` instead of reading it whole.
    static Ref<Data> contentsOfFile(const Path&, uint64_t maximumLength, Ref<Error>* = nullptr);
    // Writes a temporary file in the same folder, flushes it to disk and renames it over the
    // destination, so a reader sees the old file or the new one, never a part of it.
    static bool writeAtomically(const Path&, std::span<const uint8_t>, Ref<Error>* = nullptr);
    static bool writeAtomically(const Path&, std::string_view, Ref<Error>* = nullptr);
    // Whether the name is that of writeAtomically's temporary file (".<name>.XXXXXX").
    static bool isTemporaryFileName(std::string_view);
    // Removes the temporary files that writes killed before their rename left in the folder;
    // answers how many. Run at start, before anything writes there.
    static size_t removeTemporaryFiles(const Path& directory);
    // Removes a file, or a folder with everything in it.
    static bool removeItem(const Path&, Ref<Error>* = nullptr);
    // Removes a file (a link, not what it points to); fails on a folder and leaves it alone.
    static bool removeFile(const Path&, Ref<Error>* = nullptr);
    // The names in a folder, sorted.
    static std::optional<std::vector<std::string>> contentsOfDirectory(const Path&, Ref<Error>* = nullptr);
    // Fails when the destination exists.
    static bool moveItem(const Path& source, const Path& destination, Ref<Error>* = nullptr);

private:
    static Path standardDirectory(const Path& relative);
};

}
