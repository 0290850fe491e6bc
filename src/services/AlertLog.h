// Alert logs: plain-text files in the "Log" folder of the installation, one line per call,
// each with a time stamp. Nothing here shows anything or raises; a writer that cannot
// write answers false and the caller goes on.
//
// File names are built from the base folder as it was read (Windows notation such as
// "C:\P\" included), so "C:\P\" gives "C:\P\\Log\Alert_...": the doubled separator is
// harmless because the name becomes a native path only when the file is touched.
//
// Deviations by design:
// - Lines are written as UTF-8, the one text encoding of this system.
#pragma once

#include <string>

class Exception;

// The installation's registry key under HKEY_LOCAL_MACHINE.
inline constexpr const char* kOrvantRegistryKey = "Software\\QMT\\Orvant";

// Which folder holds the "Log" folder of WriteAlertLog.
enum class TAlertLogBase {
  albInstallation,  // "ClientPath", else "ServerPath", else the program's folder
  albProgramFolder  // always the program's folder (the self-updater's log)
};
using enum TAlertLogBase;

// The file WriteAlertLog appends to, as built from the base folder: log folder +
// "\Alert_" + name + "_" + stamp, + ".log" unless the name holds a ".". The period letter
// "M" stamps "YYYYMM", "Y" "YYYY", anything else (the daily "D" included) "YYYYMMDD".
std::string AlertLogFileName(const std::string& logName, char period,
                             TAlertLogBase base = albInstallation);
// The file WriteBrantelLog appends to: log folder + "\Alert_Brantel_YYYYMMDD.log".
std::string BrantelLogFileName();

// Appends "[YYYY/MM/DD hh:nn:ss:zzz] " + text to the alert log `logName`.
bool WriteAlertLog(const std::string& logName, const std::string& text, char period,
                   TAlertLogBase base = albInstallation);
// Appends "[<short date> <long time>] " + text to the generator's alert log.
bool WriteBrantelLog(const std::string& text);
// Writes a report of the exception (may be null) through WriteBrantelLog, one call per
// item: a rule naming the location, the exception's error lines and their count, and the
// programmer's message. The answers of the single lines are ignored.
void WriteExceptionReport(const Exception* e, const std::string& location,
                          const std::string& programmerMessage);
