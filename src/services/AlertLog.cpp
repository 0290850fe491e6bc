#include "AlertLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "DateTime.h"
#include "Paths.h"
#include "Registry.h"
#include "SysInfo.h"
#include "SysUtils.h"

namespace {

// The temporary folder is asked for with a buffer of this many characters; a longer
// folder does not fit and reads as none.
constexpr size_t kMaxTempFolder = 255;

// "ClientPath", else "ServerPath"; empty when both are empty or the key is missing.
std::string InstallationFolder() {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!reg.OpenKeyReadOnly(kOrvantRegistryKey)) return {};
  std::string path = reg.ReadString("ClientPath");
  if (path.empty()) path = reg.ReadString("ServerPath");
  return path;
}

std::string AlertLogBaseFolder(TAlertLogBase base) {
  if (base == albInstallation) {
    std::string path = InstallationFolder();
    if (!path.empty()) return path;
  }
  return ExtractFilePath(ParamStr0());
}

std::string BrantelLogBaseFolder() {
  try {
    std::string path = InstallationFolder();
    if (path.empty()) {
      path = GetTempFolder();
      if (path.size() > kMaxTempFolder) path.clear();
    }
    if (!path.empty()) return path;
  } catch (const std::exception&) {
    // a registry that cannot be read sends the log to the fixed folder below
  }
  return "C:\\Temp";
}

// The base folder is used as read, so a base ending in a separator doubles it here.
std::string LogFolder(const std::string& base) {
  return base + "\\Log";
}

std::string PeriodStamp(char period, TDateTime now) {
  switch (period) {
    case 'M':
      return FormatDateTime("yyyymm", now);
    case 'Y':
      return FormatDateTime("yyyy", now);
    default:
      return FormatDateTime("yyyymmdd", now);
  }
}

std::string AlertLogName(const std::string& folder, const std::string& logName, char period,
                         TDateTime now) {
  std::string name = folder + "\\Alert_" + logName + "_" + PeriodStamp(period, now);
  if (logName.find('.') == std::string::npos) name += ".log";
  return name;
}

std::string BrantelLogName(const std::string& folder, TDateTime now) {
  return folder + "\\Alert_Brantel_" + FormatDateTime("yyyymmdd", now) + ".log";
}

// One open-append-close cycle; no handle survives the call.
bool AppendLine(const std::string& folder, const std::string& fileName, const std::string& line) {
  if (!ForceDirectories(folder)) return false;
  const int fd =
      ::open(NativePath(fileName).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  const char* data = line.data();
  size_t left = line.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  if (::close(fd) != 0) ok = false;
  return ok;
}

}  // namespace

std::string AlertLogFileName(const std::string& logName, char period, TAlertLogBase base) {
  return AlertLogName(LogFolder(AlertLogBaseFolder(base)), logName, period, Now());
}

std::string BrantelLogFileName() {
  return BrantelLogName(LogFolder(BrantelLogBaseFolder()), Now());
}

bool WriteAlertLog(const std::string& logName, const std::string& text, char period,
                   TAlertLogBase base) {
  try {
    const TDateTime now = Now();  // one instant names the file and stamps the line
    const std::string folder = LogFolder(AlertLogBaseFolder(base));
    const std::string line = "[" + FormatDateTime("YYYY/MM/DD hh:nn:ss:zzz", now) + "] " + text;
    return AppendLine(folder, AlertLogName(folder, logName, period, now), line + "\r\n");
  } catch (const std::exception&) {
    return false;
  }
}

bool WriteBrantelLog(const std::string& text) {
  try {
    const TDateTime now = Now();
    const std::string folder = LogFolder(BrantelLogBaseFolder());
    const TFormatSettings& fs = FormatSettings();
    const std::string line =
        "[" + FormatDateTime(fs.ShortDateFormat + " " + fs.LongTimeFormat, now) + "] " + text;
    return AppendLine(folder, BrantelLogName(folder, now), line + "\r\n");
  } catch (const std::exception&) {
    return false;
  }
}

void WriteExceptionReport(const Exception* e, const std::string& location,
                          const std::string& programmerMessage) {
  try {
    const std::string rule(34, '-');
    WriteBrantelLog(Trim(location).empty() ? rule + rule : rule + " on " + location + " " + rule);
    if (e != nullptr) {
      WriteBrantelLog("讯息信息:");
      int count = 1;
      const auto errorLine = [](const char* kind, int number, int code, const std::string& text) {
        return Format(std::string(kind) + " Error %.2d: Code: %d, Message: %s",
                      {int64_t{number}, int64_t{code}, text});
      };
      if (const auto* db = dynamic_cast<const EDBEngineError*>(e)) {
        count = db->ErrorCount();
        for (int i = 0; i < count; ++i)
          WriteBrantelLog(
              errorLine("EDBEngineError", i + 1, db->Errors(i).ErrorCode, db->Errors(i).Message));
      } else if (const auto* win = dynamic_cast<const EWin32Error*>(e)) {
        WriteBrantelLog(errorLine("EWin32Error", 1, win->ErrorCode(), win->Message()));
      } else if (const auto* io = dynamic_cast<const EInOutError*>(e)) {
        WriteBrantelLog(errorLine("EInOutError", 1, io->ErrorCode(), io->Message()));
      } else {
        // The message is appended, not formatted, so a "%" in it stays as it is.
        WriteBrantelLog(
            Format("Exception is %s\r\nMessage %.2d: ", {std::string(e->ClassName()), int64_t{1}}) +
            e->Message());
      }
      WriteBrantelLog(Format("ErrorMessage Count: %d", {int64_t{count}}));
    }
    if (!Trim(programmerMessage).empty())
      WriteBrantelLog("Programer Message: " + programmerMessage);
  } catch (const std::exception&) {
    // a report that cannot be written is dropped; the caller goes on
  }
}
