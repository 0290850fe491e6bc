#include "Registry.h"

#include <fstream>
#include <sstream>

#include "SysUtils.h"

namespace {

const char* RootName(HKEY root) {
  switch (root) {
    case HKEY_CLASSES_ROOT:
      return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER:
      return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
      return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
      return "HKEY_USERS";
  }
  return "";
}

// "Software\QMT\Orvant", "\Software\QMT\Orvant\" and "software/qmt/orvant" name one key.
std::string NormalizeKey(std::string_view key) {
  std::string result;
  for (char c : key) {
    if (c == '/') c = '\\';
    if (c == '\\' && !result.empty() && result.back() == '\\') continue;
    result += c;
  }
  while (!result.empty() && result.front() == '\\') result.erase(0, 1);
  while (!result.empty() && result.back() == '\\') result.pop_back();
  return UpperCase(result);
}

struct RegistrySection {
  std::string Name;  // normalized
  std::vector<std::pair<std::string, std::string>> Values;
};

// Reads the whole file; an unreadable file is an empty registry.
std::vector<RegistrySection> LoadRegistry() {
  std::vector<RegistrySection> sections;
  std::ifstream in(RegistryFileName(), std::ios::binary);
  if (!in) return sections;
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
    if (trimmed.front() == '[' && trimmed.back() == ']') {
      sections.push_back({NormalizeKey(trimmed.substr(1, trimmed.size() - 2)), {}});
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || sections.empty()) continue;
    std::string name = Trim(line.substr(0, eq));
    // A value may be written in quotes to keep surrounding blanks.
    std::string value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    sections.back().Values.emplace_back(std::move(name), std::move(value));
  }
  return sections;
}

const RegistrySection* FindKey(const std::vector<RegistrySection>& sections, HKEY root,
                               const std::string& key) {
  const std::string full = NormalizeKey(std::string(RootName(root)) + "\\" + key);
  for (const auto& s : sections)
    if (s.Name == full) return &s;
  return nullptr;
}

}  // namespace

std::string RegistryFileName() {
  if (const char* path = std::getenv("ORVANT_REGISTRY"); path != nullptr && *path != '\0')
    return path;
  return "/etc/orvant/registry.ini";
}

TRegistry::TRegistry() : root_(HKEY_CURRENT_USER) {}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
  CloseKey();
  const auto sections = LoadRegistry();
  const RegistrySection* section = FindKey(sections, root_, key);
  if (section == nullptr) return false;
  for (const auto& [name, value] : section->Values) {
    const std::string upper = UpperCase(name);
    if (values_.count(upper) == 0) {  // the first of duplicate names wins
      values_[upper] = value;
      names_[upper] = name;
    }
  }
  open_ = true;
  return true;
}

bool TRegistry::KeyExists(const std::string& key) {
  return FindKey(LoadRegistry(), root_, key) != nullptr;
}

void TRegistry::CloseKey() {
  open_ = false;
  values_.clear();
  names_.clear();
}

bool TRegistry::ValueExists(const std::string& name) const {
  return open_ && values_.count(UpperCase(name)) != 0;
}

std::string TRegistry::ReadString(const std::string& name) const {
  return TryReadString(name).value_or(std::string());
}

std::optional<std::string> TRegistry::TryReadString(const std::string& name) const {
  const auto it = values_.find(UpperCase(name));
  if (!open_ || it == values_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> TRegistry::GetValueNames() const {
  std::vector<std::string> names;
  for (const auto& [upper, name] : names_) names.push_back(name);
  return names;
}

std::optional<ProgIDEntry> LookupProgID(const std::string& progID) {
  const auto sections = LoadRegistry();
  for (const auto& s : sections) {
    if (s.Name != "PROGID") continue;
    for (const auto& [name, value] : s.Values) {
      if (!SameText(name, progID)) continue;
      const size_t colon = value.rfind(':');
      if (colon == std::string::npos || colon == 0 || colon + 1 == value.size())
        return std::nullopt;
      return ProgIDEntry{value.substr(0, colon), value.substr(colon + 1)};
    }
  }
  return std::nullopt;
}
