#pragma once

#include "platform/foundation/Data.h"
#include "platform/security/KeychainItemAttributes.h"
#include "platform/security/KeychainQuery.h"
#include "platform/security/KeychainStatus.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace sec {

class SQLiteDatabase;

// The keychain's generic-password items: secret data kept by service and account. Stored in an
// SQLite file that only its owner may read, or in memory for tests. Safe to use from any thread.
//
// The data is not encrypted: the file's mode is what protects it, as for the user's other
// private files.
class Keychain {
public:
    static std::shared_ptr<Keychain> createInMemory();
    // Opens the file, creating it and its folder first if need be, with mode 0600 from the start.
    // Nil, with KeychainStatus::NotAvailable, when the file cannot be opened or is no keychain.
    static std::shared_ptr<Keychain> openFile(const std::filesystem::path&, KeychainStatus* status = nullptr);
    // "Library/Keychains/keychain.db" in the home folder.
    static std::filesystem::path fileInHomeFolder(const std::filesystem::path& home);

    // The keychain everyone uses, opened when first asked for from the file in the home folder
    // (fnd::FileManager::homeDirectory()). A file that is no keychain or cannot be read is kept
    // aside (renamed "keychain.db.corrupt", numbered when that name is taken) and a fresh one is
    // created. When no file can be opened, the answer is an unavailable keychain that fails every
    // operation with NotAvailable, so nothing is written to memory only to vanish at the next
    // launch; the file is tried again at the next call.
    static std::shared_ptr<Keychain> shared();
    // Replaces it (an in-memory keychain in tests); with nil the next shared() opens the file of
    // the current home folder.
    static void setShared(std::shared_ptr<Keychain>);

    // Nil database: an unavailable keychain.
    explicit Keychain(std::unique_ptr<SQLiteDatabase>);
    ~Keychain();
    Keychain(const Keychain&) = delete;
    Keychain& operator=(const Keychain&) = delete;

    // DuplicateItem when the service and account already hold an item; Param for nil data.
    KeychainStatus add(std::string_view service, std::string_view account, const fnd::Ref<fnd::Data>&);
    // Adds the item, or replaces its data, in one step: a failed write keeps the old data.
    KeychainStatus set(std::string_view service, std::string_view account, const fnd::Ref<fnd::Data>&);
    // Replaces the data of every matching item; ItemNotFound when none matches.
    KeychainStatus update(const KeychainQuery&, const fnd::Ref<fnd::Data>&);
    // Deletes every matching item; ItemNotFound when none matches.
    KeychainStatus remove(const KeychainQuery&);
    // The data of the first matching item (the oldest); ItemNotFound when none matches.
    KeychainStatus copyData(const KeychainQuery&, fnd::Ref<fnd::Data>* data) const;
    // The attributes of every matching item, oldest first; ItemNotFound when none matches.
    KeychainStatus copyAttributes(const KeychainQuery&, std::vector<KeychainItemAttributes>* items) const;

private:
    enum class OpenFailure {
        None,
        // The file is there but is no keychain or cannot be read: it may be kept aside.
        UnusableFile,
        // Anything else (a missing folder, no descriptors left): the file is left as it is.
        Unavailable,
    };
    static std::shared_ptr<Keychain> openFile(const std::filesystem::path&, KeychainStatus*, OpenFailure&);
    static std::shared_ptr<Keychain> openFileKeepingAsideAnUnusableOne(const std::filesystem::path&);
    static std::shared_ptr<Keychain> createWithDatabase(std::unique_ptr<SQLiteDatabase>, KeychainStatus* status, OpenFailure&);
    KeychainStatus write(std::string_view sql, const KeychainQuery&, const fnd::Ref<fnd::Data>&, bool countsMatches);

    mutable std::mutex m_lock;
    std::unique_ptr<SQLiteDatabase> m_database;
};

}
