// Ini files read the way the platform's profile functions read them: sections and keys
// without regard to case, the first of duplicate keys wins, values trimmed, one pair of
// enclosing quotes removed, values cut at 2047 characters. Bytes are decoded from the
// system code page unless the file starts with a UTF-8 byte-order mark. A missing or
// unreadable file reads as empty; nothing is ever written.
#pragma once

#include <string>
#include <utility>
#include <vector>

class TIniFile {
 public:
  explicit TIniFile(std::string fileName);
  const std::string& FileName() const { return fileName_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  // Decimal or hexadecimal ("0x"/"$") number; the default when not a number.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // "0" is false, any other number true, anything else the default.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(const std::string& section) const;  // key names
  // "name=value" per key, in file order.
  std::vector<std::string> ReadSectionValues(const std::string& section) const;

 private:
  struct Section {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Entries;
  };
  const Section* Find(const std::string& section) const;

  std::string fileName_;
  std::vector<Section> sections_;
};
