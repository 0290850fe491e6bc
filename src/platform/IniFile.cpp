#include "IniFile.h"

#include <fstream>
#include <sstream>

#include "CodePage.h"
#include "Paths.h"
#include "SysUtils.h"

namespace {

// The platform's profile reader returns at most this many bytes of a value.
constexpr int kMaxValueBytes = 2047;

std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  std::ifstream in(NativePath(fileName_), std::ios::binary);
  if (!in) return;
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = DecodeTextFile(buffer.str());
  const int codePage = GetACP();

  Section* current = nullptr;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trim(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      const std::string name =
          Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      current = nullptr;
      for (auto& s : sections_)
        if (SameText(s.Name, name)) current = &s;
      if (current == nullptr) {  // a repeated section continues the first one
        sections_.push_back({name, {}});
        current = &sections_.back();
      }
      continue;
    }
    const size_t eq = line.find('=');
    if (current == nullptr || eq == std::string::npos) continue;
    std::string key = Trim(line.substr(0, eq));
    if (key.empty()) continue;
    std::string value = AnsiLeft(Unquote(Trim(line.substr(eq + 1))), kMaxValueBytes, codePage);
    current->Entries.emplace_back(std::move(key), std::move(value));
  }
}

const TIniFile::Section* TIniFile::Find(const std::string& section) const {
  for (const auto& s : sections_)
    if (SameText(s.Name, section)) return &s;
  return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
  if (const Section* s = Find(section))
    for (const auto& [name, value] : s->Entries)
      if (SameText(name, key)) return value;
  return def;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  int value = 0;
  return TryStrToInt(ReadString(section, key, ""), value) ? value : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TIniFile::SectionExists(const std::string& section) const {
  const Section* s = Find(section);
  return s != nullptr && !s->Entries.empty();
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  const std::vector<std::string> keys = ReadSection(section);
  for (const auto& k : keys)
    if (SameText(k, key)) return true;
  return false;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const auto& s : sections_) names.push_back(s.Name);
  return names;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
  std::vector<std::string> keys;
  if (const Section* s = Find(section)) {
    for (const auto& entry : s->Entries) {
      bool seen = false;
      for (const auto& k : keys) seen = seen || SameText(k, entry.first);
      if (!seen) keys.push_back(entry.first);
    }
  }
  return keys;
}

std::vector<std::string> TIniFile::ReadSectionValues(const std::string& section) const {
  std::vector<std::string> lines;
  for (const auto& key : ReadSection(section))
    lines.push_back(key + "=" + ReadString(section, key, ""));
  return lines;
}
