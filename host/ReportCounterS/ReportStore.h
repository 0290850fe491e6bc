// The lasting data of the report counter object: condition schemes and the job queue.
// TReportStore is what the object needs from a database; TSQLiteReportStore (embedded,
// the default) implements it, and a server database can be added beside it later.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DateTime.h"
#include "SysUtils.h"

// A store that cannot be opened, read or written; the text says why.
KXBR_EXCEPTION_CLASS(EReportStoreError, Exception)

// SQL dialect numbers answered by SQLType: 0 SQL Server, 1 Oracle, 2 DB2 (the server
// configuration's kinds), 3 the embedded SQLite store.
inline constexpr int kSQLTypeSQLite = 3;

struct TSchemeKey {
  std::string Name;       // NCONDITION
  std::string Creator;    // CREATOR (UserID)
  std::string Programme;  // PROGRAMME (ProgramID)
};

struct TScheme {
  TSchemeKey Key;
  std::string PropList;    // SCONDITION
  std::string ValueText;   // VCONDITION
  std::string CreateDate;  // CREATE_DATE, YYYYMMDD
};

enum class TRenameResult { rrDone, rrMissing, rrTaken };
using enum TRenameResult;

// One accepted request. Registered requests (Request1) are runs the client does itself;
// queued ones (Request) wait for the queue.
struct TJobSubmission {
  bool Registered = false;
  std::string ProgramID;
  std::string CompanyID;
  std::string UserID;
  std::string CompanyKey;
  std::string ReportKind;
  int RunMode = 0;
  TDateTime RunTime = 0;
  bool Periodic = false;
  std::string Computer;
  std::string Package;  // the package exactly as received (EncodeVariant)
  TDateTime Created = 0;
};

struct TJobRecord {
  int64_t RequestID = 0;
  TJobSubmission Submission;
  std::string Status;  // "Q" queued, "R" registered, "U" status reported by the client
  std::string Messages;
  TDateTime StatusTime = 0;
};

class TReportStore {
 public:
  virtual ~TReportStore() = default;

  virtual int SQLType() const = 0;

  // The schemes of one user and program, ordered by name.
  virtual std::vector<TScheme> LoadSchemes(const std::string& creator,
                                           const std::string& programme) = 0;
  virtual bool SchemeExists(const TSchemeKey& key) = 0;
  // False (nothing changed) when the key exists and `replace` is false.
  virtual bool SaveScheme(const TScheme& scheme, bool replace) = 0;
  // False when there was no such scheme.
  virtual bool DeleteScheme(const TSchemeKey& key) = 0;
  virtual TRenameResult RenameScheme(const TSchemeKey& from, const TSchemeKey& to) = 0;

  // Stores the request durably before answering; the answer is its request id (from 1).
  virtual int64_t AddJob(const TJobSubmission& job) = 0;
  // False when there is no such request.
  virtual bool UpdateJobStatus(int64_t requestID, const std::string& messages, TDateTime when) = 0;
  virtual std::optional<TJobRecord> FindJob(int64_t requestID) = 0;
  virtual int64_t JobCount() = 0;
};

// Opens (creating when missing) the SQLite store at `path`: WAL journal, a busy time-out,
// and the scheme table CONSAVE and the queue table JOBQUEUE created when missing.
std::unique_ptr<TReportStore> OpenSQLiteReportStore(const std::string& path);
