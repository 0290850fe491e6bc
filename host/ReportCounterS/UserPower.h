// The rights record that GetPower answers, read from the demo ERP database's table
// USERPOWER (COMPANYKEY, USERID, PROGRAMID, POWER, WEBPOWER, POWERTEXT, POWERITEMS).
//
// The record is a 0-based array of wide texts:
//   0 UserID, 1 POWER (six comma-separated tokens), 2 CompanyKey, 3 WEBPOWER,
//   4 POWERTEXT, 5 the POWERITEMS as an array [count, item 1, ..., item count]
// (the shape ApplyRights reads: items 1, 3, 4 and 5).
#pragma once

#include <string>

#include "Variant.h"

// Full rights: every token "Y", eight field flags, no restriction.
inline constexpr const char* kFullPower = "Y,Y,Y,YYYYYYYY,Y,Y";

// The user's record in `databasePath`. A database path that is empty or names no file, a
// database without USERPOWER, or a user without a row there gives the full-rights record;
// a database that exists but cannot be read raises EReportStoreError.
Variant ReadUserPower(const std::string& databasePath, const std::string& companyKey,
                      const std::string& userID, const std::string& programID);
// The record built from the columns (POWERITEMS split at ";").
Variant MakeRightsRecord(const std::string& companyKey, const std::string& userID,
                         const std::string& power, const std::string& webPower,
                         const std::string& powerText, const std::string& powerItems);
