#include "platform/security/Keychain.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/FileManager.h"
#include "platform/foundation/Log.h"
#include "platform/security/SQLiteDatabase.h"
#include "platform/security/SQLiteStatement.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sec {

namespace {

// The write-ahead log makes each change one append; its files get the database file's mode.
constexpr std::string_view schema = R"(
    PRAGMA journal_mode = WAL;
    PRAGMA synchronous = NORMAL;
    CREATE TABLE IF NOT EXISTS generic_passwords (
        service TEXT NOT NULL,
        account TEXT NOT NULL,
        data BLOB NOT NULL,
        created REAL NOT NULL,
        modified REAL NOT NULL,
        PRIMARY KEY (service, account));
)";

// Parameters ?1 and ?2 are the service and account, bound only when the query names them.
std::string whereClause(const KeychainQuery& query)
{
    std::string clause = " WHERE 1";
    if (query.service)
        clause += " AND service = ?1";
    if (query.account)
        clause += " AND account = ?2";
    return clause;
}

void bindQuery(SQLiteStatement& statement, const KeychainQuery& query)
{
    if (query.service)
        statement.bindText(1, *query.service);
    if (query.account)
        statement.bindText(2, *query.account);
}

KeychainStatus statusForResult(int resultCode)
{
    switch (resultCode) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return KeychainStatus::Success;
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return KeychainStatus::DuplicateItem;
    case SQLITE_NOMEM:
        return KeychainStatus::Allocate;
    default:
        return KeychainStatus::IO;
    }
}

KeychainStatus reportFailure(const SQLiteDatabase& database, int resultCode)
{
    auto status = statusForResult(resultCode);
    if (status == KeychainStatus::IO || status == KeychainStatus::Allocate)
        fnd::Log::format("Keychain: storage failed: %s", database.lastErrorMessage());
    return status;
}

enum class PreparedFile {
    Ready,
    // Something is there that cannot serve as the keychain's file.
    Unusable,
    // The folder or the file cannot be made or opened now.
    Unavailable,
};

bool isUnusableFileError(int errorNumber)
{
    return errorNumber == EACCES || errorNumber == EPERM || errorNumber == EISDIR || errorNumber == ELOOP || errorNumber == ENXIO;
}

// Creates the file readable and writable by its owner only, before SQLite ever opens it, and
// takes any other access away from an existing one.
PreparedFile prepareOwnerOnlyFile(const std::filesystem::path& path)
{
    std::error_code error;
    auto folder = path.parent_path();
    if (!folder.empty() && !std::filesystem::exists(folder, error)) {
        std::filesystem::create_directories(folder, error);
        if (error)
            return PreparedFile::Unavailable;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    }
    int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, S_IRUSR | S_IWUSR);
    if (descriptor < 0)
        return isUnusableFileError(errno) ? PreparedFile::Unusable : PreparedFile::Unavailable;
    struct stat status { };
    auto prepared = PreparedFile::Ready;
    if (::fstat(descriptor, &status) != 0)
        prepared = PreparedFile::Unavailable;
    else if (!S_ISREG(status.st_mode))
        prepared = PreparedFile::Unusable;
    else if ((status.st_mode & (S_IRWXG | S_IRWXO)) && ::fchmod(descriptor, S_IRUSR | S_IWUSR) != 0)
        prepared = PreparedFile::Unavailable;
    ::close(descriptor);
    return prepared;
}

bool isUnusableDatabaseResult(int resultCode)
{
    auto primary = resultCode & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

std::filesystem::path withSuffix(std::filesystem::path path, std::string_view suffix)
{
    path += suffix;
    return path;
}

// Renames the file, with its write-ahead log and index, to the first free "<name>.corrupt" (then
// "<name>.corrupt-2" and on), so that nothing of what it held is lost.
bool keepAside(const std::filesystem::path& path)
{
    constexpr int attempts = 100;
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        auto aside = withSuffix(path, attempt == 1 ? ".corrupt" : ".corrupt-" + std::to_string(attempt));
        if (fnd::FileManager::fileExists(aside))
            continue;
        if (!fnd::FileManager::moveItem(path, aside))
            return false;
        for (auto sideFile : { "-wal", "-shm" }) {
            if (fnd::FileManager::fileExists(withSuffix(path, sideFile)))
                fnd::FileManager::moveItem(withSuffix(path, sideFile), withSuffix(aside, sideFile));
        }
        fnd::Log::format("Keychain: %s could not be used; it was kept as %s", path.filename().string(), aside.filename().string());
        return true;
    }
    return false;
}

std::mutex& sharedLock()
{
    static std::mutex lock;
    return lock;
}

std::shared_ptr<Keychain>& sharedKeychain()
{
    static std::shared_ptr<Keychain> keychain;
    return keychain;
}

}

std::shared_ptr<Keychain> Keychain::createInMemory()
{
    int resultCode = SQLITE_OK;
    auto failure = OpenFailure::None;
    return createWithDatabase(SQLiteDatabase::openInMemory(resultCode), nullptr, failure);
}

std::shared_ptr<Keychain> Keychain::openFile(const std::filesystem::path& path, KeychainStatus* status)
{
    auto failure = OpenFailure::None;
    return openFile(path, status, failure);
}

std::shared_ptr<Keychain> Keychain::openFile(const std::filesystem::path& path, KeychainStatus* status, OpenFailure& failure)
{
    auto prepared = prepareOwnerOnlyFile(path);
    if (prepared != PreparedFile::Ready) {
        fnd::Log::format("Keychain: cannot open %s", path.string());
        if (status)
            *status = KeychainStatus::NotAvailable;
        failure = prepared == PreparedFile::Unusable ? OpenFailure::UnusableFile : OpenFailure::Unavailable;
        return nullptr;
    }
    int resultCode = SQLITE_OK;
    return createWithDatabase(SQLiteDatabase::openExistingFile(path, resultCode), status, failure);
}

std::shared_ptr<Keychain> Keychain::openFileKeepingAsideAnUnusableOne(const std::filesystem::path& path)
{
    auto failure = OpenFailure::None;
    if (auto keychain = openFile(path, nullptr, failure))
        return keychain;
    if (failure == OpenFailure::UnusableFile && keepAside(path))
        return openFile(path, nullptr, failure);
    return nullptr;
}

std::shared_ptr<Keychain> Keychain::createWithDatabase(std::unique_ptr<SQLiteDatabase> database, KeychainStatus* status, OpenFailure& failure)
{
    int resultCode = database ? database->execute(schema) : SQLITE_CANTOPEN;
    if (resultCode != SQLITE_OK) {
        if (database)
            fnd::Log::format("Keychain: not a keychain: %s", database->lastErrorMessage());
        if (status)
            *status = KeychainStatus::NotAvailable;
        failure = isUnusableDatabaseResult(resultCode) ? OpenFailure::UnusableFile : OpenFailure::Unavailable;
        return nullptr;
    }
    if (status)
        *status = KeychainStatus::Success;
    return std::make_shared<Keychain>(std::move(database));
}

std::filesystem::path Keychain::fileInHomeFolder(const std::filesystem::path& home)
{
    return home / "Library" / "Keychains" / "keychain.db";
}

std::shared_ptr<Keychain> Keychain::shared()
{
    std::lock_guard guard(sharedLock());
    if (!sharedKeychain()) {
        sharedKeychain() = openFileKeepingAsideAnUnusableOne(fileInHomeFolder(fnd::FileManager::homeDirectory()));
        if (!sharedKeychain())
            return std::make_shared<Keychain>(nullptr);
    }
    return sharedKeychain();
}

void Keychain::setShared(std::shared_ptr<Keychain> keychain)
{
    std::lock_guard guard(sharedLock());
    sharedKeychain() = std::move(keychain);
}

Keychain::Keychain(std::unique_ptr<SQLiteDatabase> database)
    : m_database(std::move(database))
{
}

Keychain::~Keychain() = default;

KeychainStatus Keychain::add(std::string_view service, std::string_view account, const fnd::Ref<fnd::Data>& data)
{
    return write("INSERT INTO generic_passwords (service, account, data, created, modified) VALUES (?1, ?2, ?3, ?4, ?4)",
        { std::string(service), std::string(account) }, data, false);
}

KeychainStatus Keychain::set(std::string_view service, std::string_view account, const fnd::Ref<fnd::Data>& data)
{
    // One statement, so one transaction: either the new data is stored or the old data stays.
    return write("INSERT INTO generic_passwords (service, account, data, created, modified) VALUES (?1, ?2, ?3, ?4, ?4)"
                 " ON CONFLICT (service, account) DO UPDATE SET data = excluded.data, modified = excluded.modified",
        { std::string(service), std::string(account) }, data, false);
}

KeychainStatus Keychain::update(const KeychainQuery& query, const fnd::Ref<fnd::Data>& data)
{
    return write("UPDATE generic_passwords SET data = ?3, modified = ?4" + whereClause(query), query, data, true);
}

KeychainStatus Keychain::remove(const KeychainQuery& query)
{
    std::lock_guard guard(m_lock);
    if (!m_database)
        return KeychainStatus::NotAvailable;
    int resultCode = SQLITE_OK;
    auto statement = m_database->prepare("DELETE FROM generic_passwords" + whereClause(query), resultCode);
    if (!statement)
        return reportFailure(*m_database, resultCode);
    bindQuery(*statement, query);
    resultCode = statement->step();
    if (resultCode != SQLITE_DONE)
        return reportFailure(*m_database, resultCode);
    return m_database->changes() > 0 ? KeychainStatus::Success : KeychainStatus::ItemNotFound;
}

KeychainStatus Keychain::write(std::string_view sql, const KeychainQuery& query, const fnd::Ref<fnd::Data>& data, bool countsMatches)
{
    if (!data)
        return KeychainStatus::Param;
    std::lock_guard guard(m_lock);
    if (!m_database)
        return KeychainStatus::NotAvailable;
    int resultCode = SQLITE_OK;
    auto statement = m_database->prepare(sql, resultCode);
    if (!statement)
        return reportFailure(*m_database, resultCode);
    bindQuery(*statement, query);
    statement->bindBlob(3, data->span());
    statement->bindDouble(4, fnd::Clock::current().now());
    resultCode = statement->step();
    if (resultCode != SQLITE_DONE)
        return reportFailure(*m_database, resultCode);
    if (countsMatches && m_database->changes() == 0)
        return KeychainStatus::ItemNotFound;
    return KeychainStatus::Success;
}

KeychainStatus Keychain::copyData(const KeychainQuery& query, fnd::Ref<fnd::Data>* data) const
{
    std::lock_guard guard(m_lock);
    if (!m_database)
        return KeychainStatus::NotAvailable;
    int resultCode = SQLITE_OK;
    auto statement = m_database->prepare("SELECT data FROM generic_passwords" + whereClause(query) + " ORDER BY rowid LIMIT 1", resultCode);
    if (!statement)
        return reportFailure(*m_database, resultCode);
    bindQuery(*statement, query);
    resultCode = statement->step();
    if (resultCode == SQLITE_DONE)
        return KeychainStatus::ItemNotFound;
    if (resultCode != SQLITE_ROW)
        return reportFailure(*m_database, resultCode);
    if (data)
        *data = fnd::Data::create(statement->columnBlob(0));
    return KeychainStatus::Success;
}

KeychainStatus Keychain::copyAttributes(const KeychainQuery& query, std::vector<KeychainItemAttributes>* items) const
{
    std::lock_guard guard(m_lock);
    if (!m_database)
        return KeychainStatus::NotAvailable;
    int resultCode = SQLITE_OK;
    auto statement = m_database->prepare("SELECT service, account, created, modified FROM generic_passwords" + whereClause(query) + " ORDER BY rowid", resultCode);
    if (!statement)
        return reportFailure(*m_database, resultCode);
    bindQuery(*statement, query);
    std::vector<KeychainItemAttributes> found;
    while ((resultCode = statement->step()) == SQLITE_ROW)
        found.push_back({ statement->columnText(0), statement->columnText(1), statement->columnDouble(2), statement->columnDouble(3) });
    if (resultCode != SQLITE_DONE)
        return reportFailure(*m_database, resultCode);
    if (found.empty())
        return KeychainStatus::ItemNotFound;
    if (items)
        *items = std::move(found);
    return KeychainStatus::Success;
}

}
