#include "XMLDoc.h"

#include <pugixml.hpp>

#include <fstream>
#include <regex>
#include <sstream>

#include "CodePage.h"
#include "Paths.h"
#include "SysUtils.h"

namespace {

pugi::xml_node Node(void* handle) {
  return pugi::xml_node(static_cast<pugi::xml_node_struct*>(handle));
}

// The encoding named in the XML declaration, or "" when there is none.
std::string DeclaredEncoding(const std::string& bytes) {
  static const std::regex declaration(R"(^\s*<\?xml[^>]*\bencoding\s*=\s*["']([^"']*)["'])",
                                      std::regex::icase);
  std::smatch match;
  const std::string head = bytes.substr(0, 256);
  return std::regex_search(head, match, declaration) ? UpperCase(match[1].str()) : std::string();
}

int CodePageOfEncoding(const std::string& encoding) {
  if (encoding.empty() || encoding == "UTF-8" || encoding == "UTF8") return 65001;
  if (encoding == "GB2312" || encoding == "GBK" || encoding == "CP936" || encoding == "GB18030")
    return 936;
  if (encoding == "BIG5" || encoding == "CP950" || encoding == "BIG-5") return 950;
  return 0;
}

}  // namespace

TXMLElement::TXMLElement(const pugi::xml_node& node) : node_(node.internal_object()) {}

std::string TXMLElement::Name() const {
  return IsNull() ? std::string() : Node(node_).name();
}

std::vector<std::pair<std::string, std::string>> TXMLElement::Attributes() const {
  std::vector<std::pair<std::string, std::string>> result;
  if (IsNull()) return result;
  for (const pugi::xml_attribute& a : Node(node_).attributes())
    result.emplace_back(a.name(), a.value());
  return result;
}

std::vector<TXMLElement> TXMLElement::Children() const {
  std::vector<TXMLElement> result;
  if (IsNull()) return result;
  for (const pugi::xml_node& child : Node(node_).children())
    if (child.type() == pugi::node_element) result.emplace_back(child);
  return result;
}

bool TXMLElement::HasAttribute(const std::string& name) const {
  return !IsNull() && !Node(node_).attribute(name.c_str()).empty();
}

std::string TXMLElement::Attribute(const std::string& name) const {
  return IsNull() ? std::string() : std::string(Node(node_).attribute(name.c_str()).value());
}

TXMLDocument::TXMLDocument() : doc_(std::make_unique<pugi::xml_document>()) {}

TXMLDocument::~TXMLDocument() = default;

bool TXMLDocument::LoadFromFile(const std::string& fileName) {
  std::ifstream in(NativePath(fileName), std::ios::binary);
  if (!in) {
    error_ = "Cannot open file " + fileName;
    doc_->reset();
    return false;
  }
  std::string bytes;
  bytes.resize(kMaxXMLBytes + 1);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (bytes.size() > kMaxXMLBytes) {
    error_ = "File too large: " + fileName;
    doc_->reset();
    return false;
  }
  return LoadFromText(bytes);
}

bool TXMLDocument::LoadFromText(const std::string& bytes) {
  doc_->reset();
  error_.clear();
  std::string text = bytes;
  if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  const std::string encoding = DeclaredEncoding(text);
  const int codePage = CodePageOfEncoding(encoding);
  if (codePage == 0) {
    error_ = "Unsupported encoding: " + encoding;
    return false;
  }
  if (codePage != 65001) {
    auto decoded = DecodeFromCodePage(text, codePage);
    if (!decoded) {
      error_ = "Invalid " + encoding + " text";
      return false;
    }
    text = std::move(*decoded);
  }
  return LoadFromXMLText(text);
}

bool TXMLDocument::LoadFromXMLText(const std::string& utf8) {
  doc_->reset();
  error_.clear();
  const pugi::xml_parse_result result =
      doc_->load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!result) {
    error_ = std::string(result.description()) + " at offset " + std::to_string(result.offset);
    doc_->reset();
    return false;
  }
  return true;
}

TXMLElement TXMLDocument::DocumentElement() const {
  const pugi::xml_node root = doc_->document_element();
  return root ? TXMLElement(root) : TXMLElement();
}

TXMLElement TXMLDocument::FindFirst(const std::string& name) const {
  // A depth-first walk in document order finds what "//name" selects first.
  const pugi::xml_node found = doc_->find_node([&name](const pugi::xml_node& n) {
    return n.type() == pugi::node_element && name == n.name();
  });
  return found ? TXMLElement(found) : TXMLElement();
}
