#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;

namespace sec {

class SQLiteStatement;

// Owns one SQLite connection. Not thread-safe by itself: callers serialise access.
class SQLiteDatabase {
public:
    // The file must exist already (the keychain creates it with the right mode first).
    static std::unique_ptr<SQLiteDatabase> openExistingFile(const std::filesystem::path&, int& resultCode);
    static std::unique_ptr<SQLiteDatabase> openInMemory(int& resultCode);

    explicit SQLiteDatabase(sqlite3*);
    ~SQLiteDatabase();
    SQLiteDatabase(const SQLiteDatabase&) = delete;
    SQLiteDatabase& operator=(const SQLiteDatabase&) = delete;

    // Runs statements without parameters or results; answers SQLite's result code.
    int execute(std::string_view sql);
    // Nil, with the result code, when the statement does not compile.
    std::unique_ptr<SQLiteStatement> prepare(std::string_view sql, int& resultCode);
    int changes() const;
    std::string lastErrorMessage() const;

private:
    sqlite3* m_handle;
};

}
