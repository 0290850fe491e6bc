#include "HostDatabase.h"

#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "Paths.h"

namespace {

// Work budget of one outside statement: progress callbacks of 1000 virtual-machine steps
// each, some tens of millions of steps in all (well under a second).
constexpr int kProgressStep = 1000;
constexpr int kProgressBudget = 20000;
constexpr int kMaxAdhocValueBytes = 1 << 20;
constexpr int kMaxAdhocStatementBytes = 100000;
constexpr const char* kReadTablesOnly = "SimpleSQL accepts only statements that read tables";

using TStatement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

[[noreturn]] void Fail(const std::string& text) {
  throw EHostError(text);
}

sqlite3* OpenReadOnly(const std::string& path) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  if (rc != SQLITE_OK) {
    const std::string reason = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    Fail("cannot open the database " + path + ": " + reason);
  }
  sqlite3_busy_timeout(db, 2000);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  // A file that is not a database opens without complaint; reading its schema tells.
  char* error = nullptr;
  if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &error) !=
      SQLITE_OK) {
    const std::string reason = error ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    sqlite3_close(db);
    Fail("cannot open the database " + path + ": " + reason);
  }
  return db;
}

// Outside statements may read tables and call functions, nothing else: no writes, no
// ATTACH, no PRAGMA, no transactions.
// A denial sets the flag `denied` points at, so that the failure it causes, wherever
// SQLite reports it, is told as a refusal.
int AuthorizeAdhoc(void* denied, int action, const char*, const char*, const char*, const char*) {
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
      return SQLITE_OK;
    default:
      *static_cast<bool*>(denied) = true;
      return SQLITE_DENY;
  }
}

int CountProgress(void* ticks) {
  return ++*static_cast<int*>(ticks) > kProgressBudget ? 1 : 0;
}

size_t SkipBlanksAndComments(std::string_view s, size_t i) {
  for (;;) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (s.compare(i, 2, "--") == 0) {
      i = s.find('\n', i);
      if (i == std::string_view::npos) return s.size();
    } else if (s.compare(i, 2, "/*") == 0) {
      const size_t end = s.find("*/", i + 2);
      if (end == std::string_view::npos) return s.size();
      i = end + 2;
    } else {
      return i;
    }
  }
}

std::string FirstWord(std::string_view s) {
  size_t i = SkipBlanksAndComments(s, 0);
  std::string word;
  while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) word += s[i++];
  return UpperCase(word);
}

Variant ColumnValue(sqlite3_stmt* st, int i) {
  switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: {
      const int64_t v = sqlite3_column_int64(st, i);
      if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int>(v));
      return Variant(v);
    }
    case SQLITE_FLOAT:
      return Variant(sqlite3_column_double(st, i));
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
      return Variant::Wide(std::string(text, static_cast<size_t>(sqlite3_column_bytes(st, i))));
    }
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const char*>(sqlite3_column_blob(st, i));
      const auto size = static_cast<size_t>(sqlite3_column_bytes(st, i));
      return Variant::Ansi(bytes ? std::string(bytes, size) : std::string());
    }
    default:
      return Variant::Null();
  }
}

// Steps a prepared statement to its end; `maxRows` 0 means no limit.
THostTable ReadRows(sqlite3* db, sqlite3_stmt* st, size_t maxRows, const char* what,
                    const bool* denied = nullptr) {
  THostTable table;
  const int columns = sqlite3_column_count(st);
  for (int i = 0; i < columns; ++i) table.Columns.emplace_back(sqlite3_column_name(st, i));
  for (;;) {
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) break;
    if (rc == SQLITE_INTERRUPT)
      Fail(std::string(what) + ": the statement was stopped because it ran too long");
    if (denied && *denied) Fail(kReadTablesOnly);
    if (rc != SQLITE_ROW) Fail(std::string(what) + ": " + sqlite3_errmsg(db));
    if (maxRows != 0 && table.Rows.size() == maxRows)
      Fail(std::string(what) + ": the statement answers more than " + IntToStr(maxRows) + " rows");
    THostRow row;
    row.reserve(static_cast<size_t>(columns));
    for (int i = 0; i < columns; ++i) row.push_back(ColumnValue(st, i));
    table.Rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace

THostDatabase::THostDatabase(const std::string& path) : path_(path) {
  db_ = OpenReadOnly(path);
  try {
    adhoc_ = OpenReadOnly(path);
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
  sqlite3_limit(adhoc_, SQLITE_LIMIT_ATTACHED, 0);
  sqlite3_limit(adhoc_, SQLITE_LIMIT_LENGTH, kMaxAdhocValueBytes);
  sqlite3_limit(adhoc_, SQLITE_LIMIT_SQL_LENGTH, kMaxAdhocStatementBytes);
  sqlite3_set_authorizer(adhoc_, AuthorizeAdhoc, &adhocDenied_);
}

THostDatabase::~THostDatabase() {
  sqlite3_close(adhoc_);
  sqlite3_close(db_);
}

THostTable THostDatabase::Query(const std::string& sql, const THostParams& params) const {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK)
    Fail(std::string("query failed: ") + sqlite3_errmsg(db_));
  const TStatement st(raw, sqlite3_finalize);
  for (const auto& [name, value] : params) {
    const int index = sqlite3_bind_parameter_index(raw, name.c_str());
    if (index > 0)
      sqlite3_bind_text(raw, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
  }
  return ReadRows(db_, raw, 0, "query failed");
}

THostTable THostDatabase::QueryReadOnly(const std::string& statement) const {
  static constexpr const char* kWhat = "SimpleSQL";
  if (statement.find('\0') != std::string::npos)
    Fail("SimpleSQL: the statement contains a zero character");
  if (statement.size() > static_cast<size_t>(kMaxAdhocStatementBytes))
    Fail("SimpleSQL: the statement is longer than " + IntToStr(kMaxAdhocStatementBytes) + " bytes");
  const std::string word = FirstWord(statement);
  if (word.empty()) Fail("SimpleSQL: the statement is empty");
  if (word != "SELECT" && word != "WITH")
    Fail("SimpleSQL accepts only a SELECT or WITH statement, not " + word);

  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  adhocDenied_ = false;
  if (sqlite3_prepare_v2(adhoc_, statement.c_str(), static_cast<int>(statement.size()), &raw,
                         &tail) != SQLITE_OK) {
    if (adhocDenied_) Fail(kReadTablesOnly);
    Fail(std::string("SimpleSQL: ") + sqlite3_errmsg(adhoc_));
  }
  const TStatement st(raw, sqlite3_finalize);
  if (raw == nullptr) Fail("SimpleSQL: the statement is empty");

  const std::string_view rest(tail,
                              static_cast<size_t>(statement.c_str() + statement.size() - tail));
  size_t i = 0;
  while ((i = SkipBlanksAndComments(rest, i)) < rest.size() && rest[i] == ';') ++i;
  if (i < rest.size()) Fail("SimpleSQL accepts a single statement; text follows the first one");
  if (!sqlite3_stmt_readonly(raw)) Fail(kReadTablesOnly);

  int ticks = 0;
  sqlite3_progress_handler(adhoc_, kProgressStep, CountProgress, &ticks);
  try {
    THostTable table = ReadRows(adhoc_, raw, kMaxAdhocRows, kWhat, &adhocDenied_);
    sqlite3_progress_handler(adhoc_, 0, nullptr, nullptr);
    return table;
  } catch (...) {
    sqlite3_progress_handler(adhoc_, 0, nullptr, nullptr);
    throw;
  }
}

std::string DemoDatabasePath() {
  const char* path = std::getenv("ORVANT_DEMO_DB");
  if (path == nullptr || *path == '\0')
    Fail("ORVANT_DEMO_DB is not set: it must name the demo ERP database file");
  return path;
}

void CreateDemoDatabase(const std::string& path, const std::string& script) {
  if (FileExists(path)) Fail("cannot create the database " + path + ": the file exists");
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  char* error = nullptr;
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error);
  if (rc == SQLITE_OK) {
    rc = sqlite3_close(db);
    if (rc == SQLITE_OK) return;
    db = nullptr;
  }
  std::string reason = error ? error : db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  sqlite3_free(error);
  sqlite3_close(db);
  std::remove(path.c_str());
  Fail("cannot create the database " + path + ": " + reason);
}

std::string LikeLiteral(const std::string& text) {
  std::string pattern;
  for (char c : text) {
    if (c == '\\' || c == '%' || c == '_') pattern += '\\';
    pattern += c;
  }
  return pattern;
}
