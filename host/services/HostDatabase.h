// The demo ERP database as the host shell's services read it. Every connection is
// read-only: the services never write, and statements that come from outside (the
// "SimpleSQL" counter) run on a connection of their own that admits a single SELECT or
// WITH statement reading data, with a bound on rows and work.
//
// Environment: ORVANT_DEMO_DB names the database file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "HostCommon.h"

struct sqlite3;

struct THostTable {
  std::vector<std::string> Columns;
  std::vector<THostRow> Rows;
};

// Values of named parameters (":name"); a name the statement does not use is ignored.
using THostParams = std::vector<std::pair<std::string, std::string>>;

class THostDatabase {
 public:
  static constexpr size_t kMaxAdhocRows = 10000;

  // Opens the file read-only; raises EHostError when it is missing or not a database.
  explicit THostDatabase(const std::string& path);
  ~THostDatabase();
  THostDatabase(const THostDatabase&) = delete;
  THostDatabase& operator=(const THostDatabase&) = delete;

  const std::string& Path() const { return path_; }

  // A statement of the services themselves. Raises EHostError with SQLite's text.
  THostTable Query(const std::string& sql, const THostParams& params = {}) const;
  // A statement from outside: exactly one SELECT or WITH statement that only reads,
  // answering at most kMaxAdhocRows rows within a bounded amount of work. Anything else
  // raises EHostError saying why.
  THostTable QueryReadOnly(const std::string& statement) const;

 private:
  sqlite3* db_ = nullptr;             // the services' own statements
  sqlite3* adhoc_ = nullptr;          // outside statements: authorizer and work budget installed
  mutable bool adhocDenied_ = false;  // the authorizer refused part of the last statement
  std::string path_;
};

// ORVANT_DEMO_DB; raises EHostError when it is not set.
std::string DemoDatabasePath();
// The text of host/demo/demo.sql, built into the library.
const std::string& DemoScript();
// Creates a new database file from a script (the demo script by default). Raises
// EHostError when the file exists already or the script fails; a failed run leaves no
// file behind.
void CreateDemoDatabase(const std::string& path, const std::string& script = DemoScript());
// A LIKE pattern matching `text` literally, for "LIKE :x || '%' ESCAPE '\'".
std::string LikeLiteral(const std::string& text);
