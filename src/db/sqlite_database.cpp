#include "db/sqlite_database.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "base/platform.h"
#include "base/text.h"

namespace SQLite {

// ---- Table ----

Table::Table(std::vector<std::string> columnNames, std::vector<std::vector<std::string>> rowCells)
    : rowCount(static_cast<int>(rowCells.size())),
      columnCount(static_cast<int>(columnNames.size())),
      columns(std::move(columnNames)),
      rows(std::move(rowCells)),
      currentRow(rowCount > 0 ? 0 : -1) {}

bool Table::MoveFirst() {
  if (rowCount <= 0) return false;
  currentRow = 0;
  return true;
}

bool Table::MoveNext() {
  if (currentRow + 1 < rowCount) {
    ++currentRow;
    return true;
  }
  return false;
}

int Table::ColumnIndex(std::string_view columnName) const {
  for (int i = 0; i < columnCount; ++i) {
    if (vx::EqualsNoCase(columns[i], columnName)) return i;
  }
  return -1;
}

bool Table::HasColumn(std::string_view columnName) const { return ColumnIndex(columnName) >= 0; }

const char* Table::GetValue(std::string_view columnName) const {
  if (currentRow < 0 || currentRow >= rowCount || columnCount == 0) return nullptr;
  const int index = ColumnIndex(columnName);
  if (index < 0) return nullptr;
  return rows[currentRow][index].c_str();
}

int Table::GetId() const {
  const char* value = GetValue("Id");
  if (value == nullptr || *value == '\0') return -1;
  return static_cast<int>(std::strtol(value, nullptr, 10));
}

int Table::FirstColumnAsInt() const {
  if (currentRow < 0 || currentRow >= rowCount || columnCount == 0) return 0;
  return vx::ToInt(rows[currentRow][0]);
}

bool Table::GetBool(std::string_view columnName) const {
  const char* value = GetValue(columnName);
  return value != nullptr && *value != '\0' && std::string_view(value) != "0";
}

int Table::GetInt(std::string_view columnName) const {
  const char* value = GetValue(columnName);
  return value == nullptr ? 0 : vx::ToInt(value);
}

int64_t Table::GetInt64(std::string_view columnName) const {
  const char* value = GetValue(columnName);
  return value == nullptr ? 0 : vx::ToInt64(value);
}

double Table::GetDouble(std::string_view columnName) const {
  const char* value = GetValue(columnName);
  return value == nullptr ? 0.0 : vx::ToDouble(value);
}

std::string Table::GetText(std::string_view columnName) const {
  const char* value = GetValue(columnName);
  return value == nullptr ? std::string() : std::string(value);
}

// ---- UTF8MBSTR ----

UTF8MBSTR::UTF8MBSTR(const char* utf8) : text_(utf8 == nullptr ? "" : utf8) {}

UTF8MBSTR::UTF8MBSTR(std::string_view utf8) : text_(utf8) {}

namespace {
// Encodes one code point; unpaired surrogates become U+FFFD.
void AppendUtf8(std::string& out, char32_t code) {
  if (code >= 0xD800 && code <= 0xDFFF) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}
}  // namespace

UTF8MBSTR::UTF8MBSTR(const char16_t* utf16) {
  if (utf16 == nullptr) return;
  for (const char16_t* p = utf16; *p != 0; ++p) {
    char32_t code = *p;
    if (code >= 0xD800 && code <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    }
    AppendUtf8(text_, code);
  }
}

UTF8MBSTR::UTF8MBSTR(const wchar_t* wide) {
  if (wide == nullptr) return;
  for (const wchar_t* p = wide; *p != 0; ++p) AppendUtf8(text_, static_cast<char32_t>(*p));
}

// ---- Database ----

Database::~Database() { Close(); }

void Database::Close() {
  if (handle_ != nullptr) {
    sqlite3_close_v2(handle_);
    handle_ = nullptr;
  }
}

int Database::OpenWith(const std::string& path, int flags, int readOnlyFlag) {
  Close();
  const int result = sqlite3_open_v2(UTF8MBSTR(path), &handle_, flags, nullptr);
  if (result != SQLITE_OK && handle_ != nullptr) {
    sqlite3_close_v2(handle_);
    handle_ = nullptr;
  }
  if (handle_ != nullptr) {
    sqlite3_db_config(handle_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(handle_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    SetValueLimit(kMaxValueBytes);
  }
  Record(result);
  readOnly_ = readOnlyFlag;
  return result;
}

void Database::SetValueLimit(int bytes) {
  if (handle_ != nullptr) sqlite3_limit(handle_, SQLITE_LIMIT_LENGTH, bytes);
}

int Database::Open(const std::string& path) {
  return OpenWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, 0);
}

int Database::OpenReadOnly(const std::string& path) {
  return OpenWith(path, SQLITE_OPEN_READONLY, 1);
}

int Database::Injected(const std::string& sql) {
  if (!hook_) return kOk;
  const int code = hook_(sql);
  if (code != kOk) Record(code);
  return code;
}

int Database::Execute(const std::string& sql) {
  if (handle_ == nullptr) {
    Record(kError);
    return kError;
  }
  if (const int injected = Injected(sql); injected != kOk) return injected;
  const int result = sqlite3_exec(handle_, UTF8MBSTR(sql), nullptr, nullptr, nullptr);
  if (result != SQLITE_OK) Record(result);
  return result;
}

TablePtr Database::GetTable(const std::string& sql) {
  if (handle_ == nullptr) {
    Record(kError);
    return TablePtr();
  }
  if (Injected(sql) != kOk) return TablePtr(std::make_unique<Table>());
  char** cells = nullptr;
  int rowCount = 0;
  int columnCount = 0;
  const int result =
      sqlite3_get_table(handle_, UTF8MBSTR(sql), &cells, &rowCount, &columnCount, nullptr);
  if (result != SQLITE_OK) {
    Record(result);
    if (cells != nullptr) sqlite3_free_table(cells);
    return TablePtr(std::make_unique<Table>());
  }
  std::vector<std::string> columns;
  columns.reserve(columnCount);
  for (int c = 0; c < columnCount; ++c) columns.emplace_back(cells[c] ? cells[c] : "");
  std::vector<std::vector<std::string>> rows(rowCount);
  for (int r = 0; r < rowCount; ++r) {
    rows[r].reserve(columnCount);
    for (int c = 0; c < columnCount; ++c) {
      const char* cell = cells[(r + 1) * columnCount + c];
      rows[r].emplace_back(cell ? cell : "");
    }
  }
  sqlite3_free_table(cells);
  return TablePtr(std::make_unique<Table>(std::move(columns), std::move(rows)));
}

int Database::RunBlobStatement(const std::string& sql, std::vector<uint8_t>* readInto,
                               const void* writeData, size_t writeSize) {
  if (const int injected = Injected(sql); injected != kOk) return injected;
  int result = SQLITE_OK;
  do {
    if (readInto != nullptr) readInto->clear();
    sqlite3_stmt* statement = nullptr;
    result = sqlite3_prepare_v2(handle_, UTF8MBSTR(sql), -1, &statement, nullptr);
    if (result != SQLITE_OK) {
      Record(result);
      sqlite3_finalize(statement);
      return result;
    }
    if (readInto == nullptr) {
      // The caller keeps the buffer alive until the call returns, so SQLite need not copy it.
      sqlite3_bind_blob64(statement, 1, writeData, static_cast<sqlite3_uint64>(writeSize),
                          SQLITE_STATIC);
      sqlite3_step(statement);
    } else if (sqlite3_step(statement) == SQLITE_ROW) {
      const int size = sqlite3_column_bytes(statement, 0);
      const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(statement, 0));
      if (size > 0 && bytes != nullptr) readInto->assign(bytes, bytes + size);
    }
    // A failed step shows through the finalize result; a schema change reruns the whole.
    result = sqlite3_finalize(statement);
  } while (result == SQLITE_SCHEMA);
  if (result != SQLITE_OK) Record(result);
  return result;
}

int Database::ReadBlob(const std::string& sql, std::vector<uint8_t>& data) {
  data.clear();
  if (handle_ == nullptr) {
    Record(kError);
    return kError;
  }
  return RunBlobStatement(sql, &data, nullptr, 0);
}

int Database::WriteBlob(const std::string& sql, const void* data, size_t size) {
  if (handle_ == nullptr) {
    Record(kError);
    return kError;
  }
  return RunBlobStatement(sql, nullptr, data, size);
}

void Database::SleepMs(int milliseconds) {
  if (clock_ != nullptr) {
    clock_->SleepMs(milliseconds);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

bool Database::BeginTransaction() {
  if (handle_ == nullptr) {
    Record(kError);
    return false;
  }
  int result = SQLITE_OK;
  for (int attempt = 0; attempt < kBeginAttempts; ++attempt) {
    if (attempt > 0) SleepMs(kBeginRetryMs);
    result = sqlite3_exec(handle_, "BEGIN IMMEDIATE TRANSACTION", nullptr, nullptr, nullptr);
    if (result != SQLITE_BUSY) break;
  }
  Record(result);
  return result == SQLITE_OK;
}

bool Database::CommitTransaction() {
  if (handle_ == nullptr) {
    Record(kError);
    return false;
  }
  static const std::string kCommit = "COMMIT TRANSACTION";
  if (hook_ && Record(hook_(kCommit)) != kOk) return false;
  Record(sqlite3_exec(handle_, kCommit.c_str(), nullptr, nullptr, nullptr));
  return lastError_ == SQLITE_OK;
}

bool Database::RollbackTransaction() {
  if (handle_ == nullptr) {
    Record(kError);
    return false;
  }
  Record(sqlite3_exec(handle_, "ROLLBACK TRANSACTION", nullptr, nullptr, nullptr));
  return lastError_ == SQLITE_OK;
}

int64_t Database::LastInsertRowId() const {
  return handle_ == nullptr ? 0 : sqlite3_last_insert_rowid(handle_);
}

int Database::Changes() const { return handle_ == nullptr ? 0 : sqlite3_changes(handle_); }

int Database::Record(int code) {
  lastError_ = code;
  if (code == SQLITE_OK) {
    errorText_.clear();
  } else if (handle_ != nullptr && sqlite3_errcode(handle_) == code) {
    errorText_ = sqlite3_errmsg(handle_);
  } else {
    errorText_ = sqlite3_errstr(code);
  }
  return code;
}

std::string Database::ErrorText() const {
  if (lastError_ != SQLITE_OK && !errorText_.empty()) return errorText_;
  if (handle_ == nullptr) return "not open";
  const char* text = sqlite3_errmsg(handle_);
  return text == nullptr ? "" : text;
}

}  // namespace SQLite
