#include "UserPower.h"

#include <sqlite3.h>

#include "Paths.h"
#include "ReportStore.h"

Variant MakeRightsRecord(const std::string& companyKey, const std::string& userID,
                         const std::string& power, const std::string& webPower,
                         const std::string& powerText, const std::string& powerItems) {
  std::vector<std::string> items;
  for (const std::string& item : SplitString(powerItems, ';'))
    if (!Trim(item).empty()) items.push_back(Trim(item));
  Variant list = VarArrayCreate({0, static_cast<int>(items.size())}, varVariant);
  list[0] = Variant(static_cast<int>(items.size()));
  for (size_t k = 0; k < items.size(); ++k) list[static_cast<int>(k) + 1] = Variant::Wide(items[k]);
  Variant record = VarArrayCreate({0, 5}, varVariant);
  record[0] = Variant::Wide(userID);
  record[1] = Variant::Wide(power);
  record[2] = Variant::Wide(companyKey);
  record[3] = Variant::Wide(webPower);
  record[4] = Variant::Wide(powerText);
  record[5] = list;
  return record;
}

Variant ReadUserPower(const std::string& databasePath, const std::string& companyKey,
                      const std::string& userID, const std::string& programID) {
  const Variant fullRights = MakeRightsRecord(companyKey, userID, kFullPower, "Y", "", "");
  if (databasePath.empty() || !FileExists(databasePath)) return fullRights;
  sqlite3* db = nullptr;
  const auto fail = [&](const std::string& what) -> EReportStoreError {
    return EReportStoreError("Cannot read the rights from " + databasePath + ": " + what);
  };
  if (sqlite3_open_v2(databasePath.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw fail(message);
  }
  std::unique_ptr<sqlite3, decltype(&sqlite3_close)> guard(db, &sqlite3_close);
  sqlite3_busy_timeout(db, 5000);
  sqlite3_stmt* raw = nullptr;
  const int rc =
      sqlite3_prepare_v2(db,
                         "SELECT POWER, WEBPOWER, POWERTEXT, POWERITEMS FROM USERPOWER "
                         "WHERE COMPANYKEY = ?1 AND USERID = ?2 AND UPPER(PROGRAMID) = UPPER(?3)",
                         -1, &raw, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = sqlite3_errmsg(db);
    if (message.find("no such table") != std::string::npos) return fullRights;
    throw fail(message);
  }
  std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> stmt(raw, &sqlite3_finalize);
  sqlite3_bind_text(raw, 1, companyKey.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(raw, 2, userID.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(raw, 3, programID.c_str(), -1, SQLITE_TRANSIENT);
  const int step = sqlite3_step(raw);
  if (step == SQLITE_DONE) return fullRights;
  if (step != SQLITE_ROW) throw fail(sqlite3_errmsg(db));
  const auto column = [raw](int k) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(raw, k));
    return p ? std::string(p) : std::string();
  };
  return MakeRightsRecord(companyKey, userID, column(0), column(1), column(2), column(3));
}
