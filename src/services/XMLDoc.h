// XML documents as the language packs and message lookups read them: parsed from a file
// or a text, in the encoding the document declares (UTF-8, GB2312/GBK, BIG5; UTF-8 when
// none is declared), with the first element of a name found anywhere in the document.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
}  // namespace pugi

// A non-owning handle of one element of a TXMLDocument; null when nothing was found.
class TXMLElement {
 public:
  TXMLElement() = default;
  explicit TXMLElement(const pugi::xml_node& node);
  bool IsNull() const { return node_ == nullptr; }
  std::string Name() const;
  // The attributes in document order (name, value).
  std::vector<std::pair<std::string, std::string>> Attributes() const;
  bool HasAttribute(const std::string& name) const;
  // The child elements in document order.
  std::vector<TXMLElement> Children() const;
  std::string Attribute(const std::string& name) const;

 private:
  void* node_ = nullptr;  // pugi's node handle
};

class TXMLDocument {
 public:
  TXMLDocument();
  ~TXMLDocument();
  TXMLDocument(const TXMLDocument&) = delete;
  TXMLDocument& operator=(const TXMLDocument&) = delete;

  // Both answer false and keep the reason in ParseError() when the bytes do not parse,
  // declare an encoding that cannot be read, or the file cannot be read.
  bool LoadFromFile(const std::string& fileName);
  bool LoadFromText(const std::string& bytes);
  // Text already in memory: UTF-8, whatever encoding its declaration names.
  bool LoadFromXMLText(const std::string& utf8);
  const std::string& ParseError() const { return error_; }

  TXMLElement DocumentElement() const;
  // The first element named `name` anywhere in the document, in document order ("//name").
  TXMLElement FindFirst(const std::string& name) const;

 private:
  std::unique_ptr<pugi::xml_document> doc_;
  std::string error_;
};

// Files larger than this are refused: packs are small, and a huge file is not one.
inline constexpr size_t kMaxXMLBytes = 16 * 1024 * 1024;
