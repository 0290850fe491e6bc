// The embedded store: one SQLite connection per store object, WAL journal (readers never
// wait for writers), synchronous=NORMAL (a commit survives the death of the process; only
// a power cut may lose the last commits), and a busy time-out for other processes.
#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <mutex>

#include "ReportStore.h"

namespace {

constexpr int kBusyTimeoutMs = 10000;

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS CONSAVE (
  NCONDITION  TEXT NOT NULL,
  CREATOR     TEXT NOT NULL,
  PROGRAMME   TEXT NOT NULL,
  SCONDITION  TEXT NOT NULL DEFAULT '',
  VCONDITION  TEXT NOT NULL DEFAULT '',
  CREATE_DATE TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (NCONDITION, CREATOR, PROGRAMME)
);
CREATE TABLE IF NOT EXISTS JOBQUEUE (
  REQID       INTEGER PRIMARY KEY AUTOINCREMENT,
  KIND        TEXT NOT NULL,
  PROGRAMID   TEXT NOT NULL,
  COMPANYID   TEXT NOT NULL,
  USERID      TEXT NOT NULL,
  COMPANYKEY  TEXT NOT NULL,
  REPORTKIND  TEXT NOT NULL,
  RUNMODE     INTEGER NOT NULL,
  RUNTIME     REAL NOT NULL,
  PERIODIC    INTEGER NOT NULL,
  COMPUTER    TEXT NOT NULL DEFAULT '',
  PACKAGE     BLOB NOT NULL,
  CREATED     REAL NOT NULL,
  STATUS      TEXT NOT NULL,
  MESSAGES    TEXT NOT NULL DEFAULT '',
  STATUS_TIME REAL NOT NULL
);
)sql";

// NOTE: the writers of one process take turns on a lock per database file, so SQLite's
// sleeping busy handler only ever waits for other processes.
std::mutex& FileWriteLock(const std::string& path) {
  static std::mutex tableLock;
  static std::map<std::string, std::unique_ptr<std::mutex>> locks;
  std::error_code ec;
  std::string key = std::filesystem::weakly_canonical(path, ec).string();
  if (ec) key = path;
  std::lock_guard guard(tableLock);
  auto& lock = locks[key];
  if (!lock) lock = std::make_unique<std::mutex>();
  return *lock;
}

class TStatement {
 public:
  TStatement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) != SQLITE_OK)
      Fail("prepare");
  }
  ~TStatement() { sqlite3_finalize(stmt_); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;

  void Bind(int index, const std::string& text) {
    Check(sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT));
  }
  void Bind(int index, int64_t value) { Check(sqlite3_bind_int64(stmt_, index, value)); }
  void Bind(int index, double value) { Check(sqlite3_bind_double(stmt_, index, value)); }
  void BindBlob(int index, const std::string& bytes) {
    Check(sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()),
                            SQLITE_TRANSIENT));
  }
  // True while a row is there.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail("step");
  }
  void Run() {
    Step();
    Reset();
  }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  std::string Text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
  }
  std::string Blob(int column) const {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
  }
  int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
  double Real(int column) const { return sqlite3_column_double(stmt_, column); }

 private:
  void Check(int rc) {
    if (rc != SQLITE_OK) Fail("bind");
  }
  [[noreturn]] void Fail(const char* what) {
    const std::string message = std::string("Store ") + what + " failed: " + sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    throw EReportStoreError(message);
  }

  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Resets a statement however its use ends.
class TUse {
 public:
  explicit TUse(TStatement& s) : s_(s) {}
  ~TUse() { s_.Reset(); }
  TUse(const TUse&) = delete;
  TUse& operator=(const TUse&) = delete;

 private:
  TStatement& s_;
};

class TSQLiteReportStore : public TReportStore {
 public:
  explicit TSQLiteReportStore(const std::string& path) : writeLock_(FileWriteLock(path)) {
    const int rc =
        sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
      const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
      sqlite3_close(db_);
      throw EReportStoreError("Cannot open the store " + path + ": " + message);
    }
    try {
      sqlite3_busy_timeout(db_, kBusyTimeoutMs);
      std::lock_guard guard(writeLock_);
      Exec("PRAGMA journal_mode=WAL");
      Exec("PRAGMA synchronous=NORMAL");
      Exec(kSchema);
      Prepare();
    } catch (...) {
      sqlite3_close_v2(db_);  // closes for good once the prepared statements are finalised
      throw;
    }
  }

  ~TSQLiteReportStore() override { sqlite3_close_v2(db_); }

  int SQLType() const override { return kSQLTypeSQLite; }

  std::vector<TScheme> LoadSchemes(const std::string& creator,
                                   const std::string& programme) override {
    TStatement& s = *loadSchemes_;
    TUse use(s);
    s.Bind(1, creator);
    s.Bind(2, programme);
    std::vector<TScheme> rows;
    while (s.Step()) {
      TScheme row;
      row.Key = {s.Text(0), s.Text(1), s.Text(2)};
      row.PropList = s.Text(3);
      row.ValueText = s.Text(4);
      row.CreateDate = s.Text(5);
      rows.push_back(std::move(row));
    }
    return rows;
  }

  bool SchemeExists(const TSchemeKey& key) override {
    TStatement& s = *schemeExists_;
    TUse use(s);
    BindKey(s, 1, key);
    return s.Step();
  }

  bool SaveScheme(const TScheme& scheme, bool replace) override {
    std::lock_guard guard(writeLock_);
    TStatement& s = replace ? *replaceScheme_ : *insertScheme_;
    TUse use(s);
    BindKey(s, 1, scheme.Key);
    s.Bind(4, scheme.PropList);
    s.Bind(5, scheme.ValueText);
    s.Bind(6, scheme.CreateDate);
    s.Step();
    return sqlite3_changes(db_) > 0;
  }

  bool DeleteScheme(const TSchemeKey& key) override {
    std::lock_guard guard(writeLock_);
    TStatement& s = *deleteScheme_;
    TUse use(s);
    BindKey(s, 1, key);
    s.Step();
    return sqlite3_changes(db_) > 0;
  }

  TRenameResult RenameScheme(const TSchemeKey& from, const TSchemeKey& to) override {
    std::lock_guard guard(writeLock_);
    Exec("BEGIN IMMEDIATE");
    try {
      TRenameResult result = rrDone;
      if (!SchemeExists(from))
        result = rrMissing;
      else if (SchemeExists(to))
        result = rrTaken;
      else {
        TStatement& s = *renameScheme_;
        TUse use(s);
        BindKey(s, 1, to);
        BindKey(s, 4, from);
        s.Step();
      }
      Exec("COMMIT");
      return result;
    } catch (...) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  }

  int64_t AddJob(const TJobSubmission& job) override {
    std::lock_guard guard(writeLock_);
    TStatement& s = *addJob_;
    TUse use(s);
    s.Bind(1, std::string(job.Registered ? "R" : "Q"));
    s.Bind(2, job.ProgramID);
    s.Bind(3, job.CompanyID);
    s.Bind(4, job.UserID);
    s.Bind(5, job.CompanyKey);
    s.Bind(6, job.ReportKind);
    s.Bind(7, int64_t{job.RunMode});
    s.Bind(8, job.RunTime);
    s.Bind(9, int64_t{job.Periodic ? 1 : 0});
    s.Bind(10, job.Computer);
    s.BindBlob(11, job.Package);
    s.Bind(12, job.Created);
    s.Bind(13, std::string(job.Registered ? "R" : "Q"));
    s.Bind(14, job.Created);
    s.Step();
    return sqlite3_last_insert_rowid(db_);
  }

  bool UpdateJobStatus(int64_t requestID, const std::string& messages, TDateTime when) override {
    std::lock_guard guard(writeLock_);
    TStatement& s = *updateJob_;
    TUse use(s);
    s.Bind(1, messages);
    s.Bind(2, when);
    s.Bind(3, requestID);
    s.Step();
    return sqlite3_changes(db_) > 0;
  }

  std::optional<TJobRecord> FindJob(int64_t requestID) override {
    TStatement& s = *findJob_;
    TUse use(s);
    s.Bind(1, requestID);
    if (!s.Step()) return std::nullopt;
    TJobRecord r;
    r.RequestID = s.Int(0);
    r.Submission.Registered = s.Text(1) == "R";
    r.Submission.ProgramID = s.Text(2);
    r.Submission.CompanyID = s.Text(3);
    r.Submission.UserID = s.Text(4);
    r.Submission.CompanyKey = s.Text(5);
    r.Submission.ReportKind = s.Text(6);
    r.Submission.RunMode = static_cast<int>(s.Int(7));
    r.Submission.RunTime = s.Real(8);
    r.Submission.Periodic = s.Int(9) != 0;
    r.Submission.Computer = s.Text(10);
    r.Submission.Package = s.Blob(11);
    r.Submission.Created = s.Real(12);
    r.Status = s.Text(13);
    r.Messages = s.Text(14);
    r.StatusTime = s.Real(15);
    return r;
  }

  int64_t JobCount() override {
    TStatement& s = *countJobs_;
    TUse use(s);
    s.Step();
    return s.Int(0);
  }

 private:
  void Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
      const std::string message = error ? error : sqlite3_errmsg(db_);
      sqlite3_free(error);
      throw EReportStoreError("Store statement failed: " + message);
    }
  }

  static void BindKey(TStatement& s, int first, const TSchemeKey& key) {
    s.Bind(first, key.Name);
    s.Bind(first + 1, key.Creator);
    s.Bind(first + 2, key.Programme);
  }

  std::unique_ptr<TStatement> Statement(const char* sql) {
    return std::make_unique<TStatement>(db_, sql);
  }

  void Prepare() {
    loadSchemes_ = Statement(
        "SELECT NCONDITION, CREATOR, PROGRAMME, SCONDITION, VCONDITION, CREATE_DATE "
        "FROM CONSAVE WHERE CREATOR = ?1 AND PROGRAMME = ?2 "
        "ORDER BY NCONDITION, CREATOR, PROGRAMME");
    schemeExists_ = Statement(
        "SELECT 1 FROM CONSAVE WHERE NCONDITION = ?1 AND CREATOR = ?2 AND PROGRAMME = ?3");
    insertScheme_ =
        Statement("INSERT INTO CONSAVE VALUES (?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT DO NOTHING");
    replaceScheme_ = Statement(
        "INSERT INTO CONSAVE VALUES (?1, ?2, ?3, ?4, ?5, ?6) "
        "ON CONFLICT (NCONDITION, CREATOR, PROGRAMME) DO UPDATE SET "
        "SCONDITION = excluded.SCONDITION, VCONDITION = excluded.VCONDITION, "
        "CREATE_DATE = excluded.CREATE_DATE");
    deleteScheme_ =
        Statement("DELETE FROM CONSAVE WHERE NCONDITION = ?1 AND CREATOR = ?2 AND PROGRAMME = ?3");
    renameScheme_ = Statement(
        "UPDATE CONSAVE SET NCONDITION = ?1, CREATOR = ?2, PROGRAMME = ?3 "
        "WHERE NCONDITION = ?4 AND CREATOR = ?5 AND PROGRAMME = ?6");
    addJob_ = Statement(
        "INSERT INTO JOBQUEUE (KIND, PROGRAMID, COMPANYID, USERID, COMPANYKEY, "
        "REPORTKIND, RUNMODE, RUNTIME, PERIODIC, COMPUTER, PACKAGE, CREATED, STATUS, "
        "STATUS_TIME) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
    updateJob_ = Statement(
        "UPDATE JOBQUEUE SET STATUS = 'U', MESSAGES = ?1, STATUS_TIME = ?2 WHERE REQID = ?3");
    findJob_ = Statement(
        "SELECT REQID, KIND, PROGRAMID, COMPANYID, USERID, COMPANYKEY, REPORTKIND, "
        "RUNMODE, RUNTIME, PERIODIC, COMPUTER, PACKAGE, CREATED, STATUS, MESSAGES, "
        "STATUS_TIME FROM JOBQUEUE WHERE REQID = ?1");
    countJobs_ = Statement("SELECT COUNT(*) FROM JOBQUEUE");
  }

  sqlite3* db_ = nullptr;
  std::mutex& writeLock_;
  std::unique_ptr<TStatement> loadSchemes_, schemeExists_, insertScheme_, replaceScheme_,
      deleteScheme_, renameScheme_, addJob_, updateJob_, findJob_, countJobs_;
};

}  // namespace

std::unique_ptr<TReportStore> OpenSQLiteReportStore(const std::string& path) {
  if (path.empty()) throw EReportStoreError("No store file was given");
  return std::make_unique<TSQLiteReportStore>(path);
}
