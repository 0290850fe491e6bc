// The registry stand-in: a read-only text file of HKEY_LOCAL_MACHINE keys and values and
// the ProgID table. Its path is ORVANT_REGISTRY, else /etc/orvant/registry.ini.
//
// Format (UTF-8, optional BOM; ";" and "#" start comment lines):
//   [HKEY_LOCAL_MACHINE\Software\QMT\Orvant]
//   ClientPath=/opt/orvant/client/
//   [ProgID]
//   ReportCounterS.dmReportCounter=libReportCounterS.so:CreateReportCounter
// Key and value names compare without regard to case, as on the platform.
#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

enum class HKEY { HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS };
using enum HKEY;

std::string RegistryFileName();

class TRegistry {
 public:
  TRegistry();  // root HKEY_CURRENT_USER, as on the platform
  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY root) { root_ = root; }
  // Opens an existing key for reading; false when the file or the key is missing.
  bool OpenKeyReadOnly(const std::string& key);
  bool KeyExists(const std::string& key);
  void CloseKey();
  bool ValueExists(const std::string& name) const;
  // A missing value reads as the empty text, as the platform's reader does.
  std::string ReadString(const std::string& name) const;
  // The value, or nothing when it is missing (no exception).
  std::optional<std::string> TryReadString(const std::string& name) const;
  std::vector<std::string> GetValueNames() const;

 private:
  HKEY root_;
  bool open_ = false;
  std::map<std::string, std::string> values_;  // upper-cased name -> value
  std::map<std::string, std::string> names_;   // upper-cased name -> name as written
};

// The ProgID table: the shared library and factory symbol registered for a ProgID.
struct ProgIDEntry {
  std::string Library;
  std::string Factory;
};
std::optional<ProgIDEntry> LookupProgID(const std::string& progID);
