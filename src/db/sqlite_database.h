// A thin layer over SQLite 3: one connection (Database), a whole query result held as text
// (Table, returned through TablePtr) and the conversion of wide text to UTF-8 (UTF8MBSTR).
//
// Connections are short-lived: each record operation opens its own Database, brackets its
// statements in one transaction and lets the destructor close the connection. Nothing here is
// shared between threads.
//
// Error model: every operation returns SQLite's result code (or a bool for the transaction
// calls) and records failures in lastError(), which is sticky: a later successful statement
// does not clear it; only Open, OpenReadOnly, BeginTransaction, CommitTransaction and
// RollbackTransaction overwrite it with their own result. A closed connection makes every
// operation fail with code 1 without touching SQLite.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace vx {
class Clock;
}

namespace SQLite {

// SQLite result codes the layer and its callers look at.
inline constexpr int kOk = 0;
inline constexpr int kError = 1;
inline constexpr int kBusy = 5;
inline constexpr int kLocked = 6;
inline constexpr int kIoErr = 10;
inline constexpr int kCorrupt = 11;
inline constexpr int kFull = 13;
inline constexpr int kTooBig = 18;
inline constexpr int kSchema = 17;
inline constexpr int kNotADb = 26;
inline constexpr int kRow = 100;

// One query result. Every cell is text; an SQL NULL is the empty string, so a cell is never
// absent. Accessors read the current row.
class Table {
 public:
  Table() = default;
  Table(std::vector<std::string> columns, std::vector<std::vector<std::string>> rows);
  virtual ~Table() = default;

  int GetRowCount() const { return rowCount; }
  int GetColumnCount() const { return columnCount; }
  int CurrentRow() const { return currentRow; }

  bool MoveFirst();  // false (and the row unchanged) when there are no rows
  bool MoveNext();   // false on the last row, which stays current

  // The cell of the named column (case-insensitive; the first of two equal names wins), or
  // nullptr when there is no such column or no current row.
  const char* GetValue(std::string_view columnName) const;
  // Integer of the "Id" column; -1 when missing, empty or no current row.
  int GetId() const;
  // Integer of the first column; 0 when there is none. For single-value queries.
  int FirstColumnAsInt() const;
  // True when the cell exists, is not empty and is not "0".
  bool GetBool(std::string_view columnName) const;

  // Typed reads of a cell: a missing column reads as 0, 0.0 or "".
  int GetInt(std::string_view columnName) const;
  int64_t GetInt64(std::string_view columnName) const;
  double GetDouble(std::string_view columnName) const;
  std::string GetText(std::string_view columnName) const;
  bool HasColumn(std::string_view columnName) const;

  const std::vector<std::string>& Columns() const { return columns; }

 private:
  int ColumnIndex(std::string_view columnName) const;

  int rowCount = 0;
  int columnCount = 0;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  int currentRow = -1;
};

// Owns at most one Table.
class TablePtr : public std::unique_ptr<Table> {
 public:
  using std::unique_ptr<Table>::unique_ptr;
  TablePtr(std::unique_ptr<Table> table) : std::unique_ptr<Table>(std::move(table)) {}
};

// The UTF-8 form of a text. The program's text is UTF-8 already; wide texts coming from a
// platform interface are converted here and nowhere else.
class UTF8MBSTR {
 public:
  explicit UTF8MBSTR(const char* utf8);
  explicit UTF8MBSTR(std::string_view utf8);
  explicit UTF8MBSTR(const char16_t* utf16);
  explicit UTF8MBSTR(const wchar_t* wide);
  operator const char*() const { return text_.c_str(); }
  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

class Database {
 public:
  Database() = default;
  virtual ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens read-write, creating the file when it does not exist. Closes any open connection.
  int Open(const std::string& path);
  // Opens read-only; a missing file is an error.
  int OpenReadOnly(const std::string& path);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }

  int Execute(const std::string& sql);
  // The whole result as text. A failed query yields an empty Table; a closed connection none.
  TablePtr GetTable(const std::string& sql);
  // Reads column 0 of the first row as bytes. No row, or NULL, gives an empty buffer and 0.
  int ReadBlob(const std::string& sql, std::vector<uint8_t>& data);
  // Runs an INSERT or UPDATE with exactly one '?' bound to the bytes.
  int WriteBlob(const std::string& sql, const void* data, size_t size);

  // BEGIN IMMEDIATE, retried while the file is busy: 11 attempts, 50 ms apart.
  bool BeginTransaction();
  bool CommitTransaction();
  bool RollbackTransaction();

  int64_t LastInsertRowId() const;
  int Changes() const;
  // SQLite's message for the error in lastError() (kept from the moment it was recorded, so a
  // later successful statement does not replace it), or the connection's current message.
  std::string ErrorText() const;

  // Every connection treats its file as untrusted: defensive mode on, the schema not trusted
  // (functions with side effects never run from a trigger or view), and no single text or blob
  // read or written beyond this many bytes, so a damaged length cannot make a reader allocate
  // gigabytes (the value then fails with kTooBig). Far above any trajectory this system stores.
  static constexpr int kMaxValueBytes = 256 * 1024 * 1024;
  // Lowers (or restores) the value limit of the open connection; for tests of damaged files.
  void SetValueLimit(int bytes);

  int lastError() const { return lastError_; }
  void SetLastError(int code) { Record(code); }
  int readOnly() const { return readOnly_; }

  // The clock used to wait between busy retries (the real one when none is set).
  void SetClock(vx::Clock* clock) { clock_ = clock; }
  // Waits on that clock.
  void SleepMs(int milliseconds);

  // Fault injection for tests, in the manner of a wrapping environment: the hook sees every
  // statement (Execute, GetTable, ReadBlob, WriteBlob and the commit) before SQLite does; a
  // non-zero return fails the statement with that code, exactly as if SQLite had refused it.
  using StatementHook = std::function<int(const std::string& sql)>;
  void SetStatementHook(StatementHook hook) { hook_ = std::move(hook); }

  static constexpr int kBeginAttempts = 11;
  static constexpr int kBeginRetryMs = 50;

 private:
  int OpenWith(const std::string& path, int flags, int readOnlyFlag);
  // Stores code in lastError with the message that explains it.
  int Record(int code);
  // The injected failure code for sql (0 when none), recorded in lastError.
  int Injected(const std::string& sql);
  int RunBlobStatement(const std::string& sql, std::vector<uint8_t>* readInto,
                       const void* writeData, size_t writeSize);

  sqlite3* handle_ = nullptr;
  int lastError_ = 0;
  std::string errorText_;
  int readOnly_ = 0;
  vx::Clock* clock_ = nullptr;
  StatementHook hook_;
};

}  // namespace SQLite
