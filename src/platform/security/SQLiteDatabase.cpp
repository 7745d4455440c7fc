#include "platform/security/SQLiteDatabase.h"

#include "platform/security/SQLiteStatement.h"

#include <sqlite3.h>

namespace sec {

namespace {

std::unique_ptr<SQLiteDatabase> open(const char* name, int flags, int& resultCode)
{
    sqlite3* handle = nullptr;
    resultCode = sqlite3_open_v2(name, &handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    // SQLite hands out a handle even when opening fails; it must be closed all the same.
    auto database = std::make_unique<SQLiteDatabase>(handle);
    if (resultCode != SQLITE_OK)
        return nullptr;
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, 2000);
    return database;
}

}

std::unique_ptr<SQLiteDatabase> SQLiteDatabase::openExistingFile(const std::filesystem::path& path, int& resultCode)
{
    return open(path.c_str(), SQLITE_OPEN_READWRITE, resultCode);
}

std::unique_ptr<SQLiteDatabase> SQLiteDatabase::openInMemory(int& resultCode)
{
    return open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY, resultCode);
}

SQLiteDatabase::SQLiteDatabase(sqlite3* handle)
    : m_handle(handle)
{
}

SQLiteDatabase::~SQLiteDatabase()
{
    sqlite3_close_v2(m_handle);
}

int SQLiteDatabase::execute(std::string_view sql)
{
    return sqlite3_exec(m_handle, std::string(sql).c_str(), nullptr, nullptr, nullptr);
}

std::unique_ptr<SQLiteStatement> SQLiteDatabase::prepare(std::string_view sql, int& resultCode)
{
    sqlite3_stmt* statement = nullptr;
    resultCode = sqlite3_prepare_v2(m_handle, sql.data(), static_cast<int>(sql.size()), &statement, nullptr);
    if (resultCode != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return std::make_unique<SQLiteStatement>(statement);
}

int SQLiteDatabase::changes() const
{
    return sqlite3_changes(m_handle);
}

std::string SQLiteDatabase::lastErrorMessage() const
{
    return sqlite3_errmsg(m_handle);
}

}
