#include "platform/security/SQLiteStatement.h"

#include <sqlite3.h>

namespace sec {

SQLiteStatement::SQLiteStatement(sqlite3_stmt* handle)
    : m_handle(handle)
{
}

SQLiteStatement::~SQLiteStatement()
{
    sqlite3_finalize(m_handle);
}

int SQLiteStatement::bindText(int index, std::string_view text)
{
    return sqlite3_bind_text64(m_handle, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

int SQLiteStatement::bindBlob(int index, std::span<const uint8_t> bytes)
{
    // A zero-length blob, not NULL, for empty data.
    static const uint8_t nothing = 0;
    return sqlite3_bind_blob64(m_handle, index, bytes.empty() ? &nothing : bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

int SQLiteStatement::bindDouble(int index, double value)
{
    return sqlite3_bind_double(m_handle, index, value);
}

int SQLiteStatement::step()
{
    return sqlite3_step(m_handle);
}

std::string SQLiteStatement::columnText(int column) const
{
    auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_handle, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(m_handle, column))) : std::string();
}

std::vector<uint8_t> SQLiteStatement::columnBlob(int column) const
{
    auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(m_handle, column));
    auto count = static_cast<size_t>(sqlite3_column_bytes(m_handle, column));
    return bytes ? std::vector<uint8_t>(bytes, bytes + count) : std::vector<uint8_t>();
}

double SQLiteStatement::columnDouble(int column) const
{
    return sqlite3_column_double(m_handle, column);
}

}
