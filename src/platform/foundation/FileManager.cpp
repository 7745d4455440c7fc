#include "platform/foundation/FileManager.h"

#include "platform/foundation/Format.h"
#include "platform/foundation/String.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fnd {

namespace {

enum class Operation {
    Read,
    Write,
    Remove,
};

int64_t cocoaCode(int errorNumber, Operation operation)
{
    switch (operation) {
    case Operation::Read:
        if (errorNumber == ENOENT || errorNumber == ENOTDIR)
            return FileManager::readNoSuchFileError;
        if (errorNumber == EACCES || errorNumber == EPERM)
            return FileManager::readNoPermissionError;
        if (errorNumber == EFBIG)
            return FileManager::readTooLargeError;
        return FileManager::readUnknownError;
    case Operation::Remove:
        if (errorNumber == ENOENT)
            return FileManager::noSuchFileError;
        [[fallthrough]];
    case Operation::Write:
        if (errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS)
            return FileManager::writeNoPermissionError;
        if (errorNumber == EEXIST)
            return FileManager::writeFileExistsError;
        if (errorNumber == ENOSPC || errorNumber == EDQUOT)
            return FileManager::writeOutOfSpaceError;
        if (errorNumber == ENOENT)
            return FileManager::noSuchFileError;
        return FileManager::writeUnknownError;
    }
    return FileManager::writeUnknownError;
}

void report(Ref<Error>* error, int errorNumber, const FileManager::Path& path, Operation operation)
{
    if (!error)
        return;
    std::string reason = std::generic_category().message(errorNumber);
    std::string_view verb = operation == Operation::Read ? "read" : operation == Operation::Write ? "write" : "remove";
    auto underlying = Error::withDescription(std::string(FileManager::posixErrorDomain), errorNumber, reason);
    auto userInfo = MutableDictionary::create();
    userInfo->setObjectForKey(String::create(format("Could not %s \u201c%s\u201d: %s", verb, path.string(), reason)), Error::localizedDescriptionKey);
    userInfo->setObjectForKey(String::create(path.string()), FileManager::filePathErrorKey);
    userInfo->setObjectForKey(underlying, Error::underlyingErrorKey);
    *error = Error::create(std::string(FileManager::errorDomain), cocoaCode(errorNumber, operation), userInfo);
}

void report(Ref<Error>* error, const std::error_code& code, const FileManager::Path& path, Operation operation)
{
    report(error, code.value() ? code.value() : EIO, path, operation);
}

struct HomeState {
    std::mutex lock;
    std::optional<FileManager::Path> home;
};

HomeState& homeState()
{
    static HomeState* state = new HomeState; // never destroyed: worker threads may ask during exit
    return *state;
}

bool writeAll(int descriptor, std::span<const uint8_t> bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t result = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (result < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        written += size_t(result);
    }
    return true;
}

// Makes a completed rename durable: the folder entry itself must reach the disk.
void syncDirectory(const FileManager::Path& directory)
{
    int descriptor = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}

FileManager::Path FileManager::defaultHomeDirectory()
{
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && *dataHome == '/')
        return Path(dataHome) / "brenzo";
    const char* home = std::getenv("HOME");
    return Path(home && *home ? home : "/tmp") / ".local" / "share" / "brenzo";
}

FileManager::Path FileManager::homeDirectory()
{
    auto& state = homeState();
    std::lock_guard guard(state.lock);
    if (!state.home)
        state.home = defaultHomeDirectory();
    return *state.home;
}

void FileManager::setHomeDirectory(Path path)
{
    auto& state = homeState();
    std::lock_guard guard(state.lock);
    state.home = std::move(path);
}

FileManager::Path FileManager::standardDirectory(const Path& relative)
{
    Path path = homeDirectory() / relative;
    createDirectory(path);
    return path;
}

FileManager::Path FileManager::documentsDirectory()
{
    return standardDirectory("Documents");
}

FileManager::Path FileManager::libraryDirectory()
{
    return standardDirectory("Library");
}

FileManager::Path FileManager::cachesDirectory()
{
    return standardDirectory(Path("Library") / "Caches");
}

FileManager::Path FileManager::preferencesDirectory()
{
    return standardDirectory(Path("Library") / "Preferences");
}

bool FileManager::fileExists(const Path& path)
{
    struct stat status;
    return ::stat(path.c_str(), &status) == 0;
}

bool FileManager::fileExists(const Path& path, bool& isDirectory)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) {
        isDirectory = false;
        return false;
    }
    isDirectory = S_ISDIR(status.st_mode);
    return true;
}

bool FileManager::isDirectory(const Path& path)
{
    bool directory = false;
    return fileExists(path, directory) && directory;
}

bool FileManager::createDirectory(const Path& path, Ref<Error>* error)
{
    std::error_code code;
    std::filesystem::create_directories(path, code);
    if (code) {
        report(error, code, path, Operation::Write);
        return false;
    }
    if (!isDirectory(path)) {
        report(error, EEXIST, path, Operation::Write);
        return false;
    }
    return true;
}

Ref<Data> FileManager::contentsOfFile(const Path& path, Ref<Error>* error)
{
    return contentsOfFile(path, std::numeric_limits<uint64_t>::max(), error);
}

Ref<Data> FileManager::contentsOfFile(const Path& path, uint64_t maximumLength, Ref<Error>* error)
{
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        report(error, errno, path, Operation::Read);
        return nullptr;
    }
    struct stat status;
    if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(descriptor);
        report(error, EISDIR, path, Operation::Read);
        return nullptr;
    }
    auto tooLarge = [&] {
        ::close(descriptor);
        report(error, EFBIG, path, Operation::Read);
        return nullptr;
    };
    if (status.st_size > 0 && uint64_t(status.st_size) > maximumLength)
        return tooLarge();
    std::vector<uint8_t> bytes;
    if (status.st_size > 0)
        bytes.reserve(size_t(status.st_size));
    uint8_t buffer[64 * 1024];
    while (true) {
        ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            int readError = errno;
            ::close(descriptor);
            report(error, readError, path, Operation::Read);
            return nullptr;
        }
        if (count == 0)
            break;
        // A file that grows while it is read (or a device that reports no size) is held to the
        // same limit.
        if (bytes.size() + size_t(count) > maximumLength)
            return tooLarge();
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    ::close(descriptor);
    return Data::create(std::move(bytes));
}

bool FileManager::writeAtomically(const Path& path, std::span<const uint8_t> bytes, Ref<Error>* error)
{
    Path directory = path.parent_path();
    std::string temporary = (directory / ("." + path.filename().string() + ".XXXXXX")).string();
    int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        report(error, errno, path, Operation::Write);
        return false;
    }
    auto fail = [&](int errorNumber) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        report(error, errorNumber, path, Operation::Write);
        return false;
    };
    // Keep the permissions of the file being replaced; a new file gets the usual 0644.
    struct stat existing;
    mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    if (::fchmod(descriptor, mode) != 0)
        return fail(errno);
    if (!writeAll(descriptor, bytes))
        return fail(errno);
    if (::fsync(descriptor) != 0)
        return fail(errno);
    if (::close(descriptor) != 0) {
        int closeError = errno;
        ::unlink(temporary.c_str());
        report(error, closeError, path, Operation::Write);
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int renameError = errno;
        ::unlink(temporary.c_str());
        report(error, renameError, path, Operation::Write);
        return false;
    }
    syncDirectory(directory);
    return true;
}

bool FileManager::writeAtomically(const Path& path, std::string_view bytes, Ref<Error>* error)
{
    return writeAtomically(path, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), error);
}

bool FileManager::isTemporaryFileName(std::string_view name)
{
    constexpr size_t suffixLength = 7; // ".XXXXXX", as mkstemp fills it
    if (name.size() < suffixLength + 2 || name.front() != '.' || name[name.size() - suffixLength] != '.')
        return false;
    return std::all_of(name.end() - 6, name.end(), [](char character) {
        return (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9');
    });
}

size_t FileManager::removeTemporaryFiles(const Path& directory)
{
    size_t removed = 0;
    for (auto& name : contentsOfDirectory(directory).value_or(std::vector<std::string> {})) {
        struct stat status;
        auto path = directory / name;
        if (!isTemporaryFileName(name) || ::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        if (::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

bool FileManager::removeItem(const Path& path, Ref<Error>* error)
{
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0) {
        report(error, errno, path, Operation::Remove);
        return false;
    }
    std::error_code code;
    std::filesystem::remove_all(path, code);
    if (code) {
        report(error, code, path, Operation::Remove);
        return false;
    }
    return true;
}

bool FileManager::removeFile(const Path& path, Ref<Error>* error)
{
    if (::unlink(path.c_str()) != 0) {
        report(error, errno, path, Operation::Remove);
        return false;
    }
    return true;
}

std::optional<std::vector<std::string>> FileManager::contentsOfDirectory(const Path& path, Ref<Error>* error)
{
    std::error_code code;
    std::filesystem::directory_iterator iterator(path, code);
    if (code) {
        report(error, code, path, Operation::Read);
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (auto end = std::filesystem::directory_iterator(); iterator != end; iterator.increment(code)) {
        if (code)
            break;
        names.push_back(iterator->path().filename().string());
    }
    if (code) {
        report(error, code, path, Operation::Read);
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool FileManager::moveItem(const Path& source, const Path& destination, Ref<Error>* error)
{
    struct stat status;
    if (::lstat(source.c_str(), &status) != 0) {
        report(error, errno, source, Operation::Read);
        return false;
    }
    if (::lstat(destination.c_str(), &status) == 0) {
        report(error, EEXIST, destination, Operation::Write);
        return false;
    }
    if (::rename(source.c_str(), destination.c_str()) == 0)
        return true;
    if (errno != EXDEV) {
        report(error, errno, destination, Operation::Write);
        return false;
    }
    // Another file system: copy, then remove the original.
    std::error_code code;
    std::filesystem::copy(source, destination, std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks, code);
    if (code) {
        std::error_code ignored;
        std::filesystem::remove_all(destination, ignored);
        report(error, code, destination, Operation::Write);
        return false;
    }
    std::filesystem::remove_all(source, code);
    return true;
}

}
