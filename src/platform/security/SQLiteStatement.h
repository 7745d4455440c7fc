#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace sec {

// Owns one compiled statement. Parameters are numbered from 1, columns from 0.
class SQLiteStatement {
public:
    explicit SQLiteStatement(sqlite3_stmt*);
    ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    int bindText(int index, std::string_view);
    int bindBlob(int index, std::span<const uint8_t>);
    int bindDouble(int index, double);
    // SQLITE_ROW while there are rows, then SQLITE_DONE, or an error code.
    int step();

    std::string columnText(int column) const;
    std::vector<uint8_t> columnBlob(int column) const;
    double columnDouble(int column) const;

private:
    sqlite3_stmt* m_handle;
};

}
