#include "Reader.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "CodePage.h"
#include "Paths.h"

// --- Parser ------------------------------------------------------------------------------------

namespace {

constexpr int kMaxDepth = 64;  // nesting of objects and values; deeper text is refused

bool IsIdentStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

class Parser {
 public:
  Parser(std::string_view text, std::string_view source) : s_(text), source_(source) {}

  TResObject ParseRoot() {
    SkipBlanks();
    TResObject root = ParseObject(0);
    SkipBlanks();
    if (p_ < s_.size()) Fail("Text after the final 'end'");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& reason) const {
    throw EParserError(std::string(source_) + "(" + IntToStr(line_) + "): " + reason);
  }

  void SkipBlanks() {
    while (p_ < s_.size()) {
      const char c = s_[p_];
      if (c == '\n') {
        ++line_;
        ++p_;
      } else if (static_cast<unsigned char>(c) <= ' ') {
        ++p_;
      } else if (c == '/' && p_ + 1 < s_.size() && s_[p_ + 1] == '/') {
        while (p_ < s_.size() && s_[p_] != '\n') ++p_;
      } else {
        break;
      }
    }
  }

  char Peek() {
    SkipBlanks();
    return p_ < s_.size() ? s_[p_] : '\0';
  }

  bool AtEnd() {
    SkipBlanks();
    return p_ >= s_.size();
  }

  void Expect(char c) {
    if (Peek() != c) Fail(std::string("'") + c + "' expected");
    ++p_;
  }

  // An identifier, with dots when `dotted` ("Font.Name", "Form2.Edit1").
  std::string Ident(bool dotted) {
    if (!IsIdentStart(Peek())) Fail("Identifier expected");
    const size_t start = p_;
    while (p_ < s_.size() &&
           (IsIdentChar(s_[p_]) ||
            (dotted && s_[p_] == '.' && p_ + 1 < s_.size() && IsIdentStart(s_[p_ + 1]))))
      ++p_;
    return std::string(s_.substr(start, p_ - start));
  }

  bool NextIsWord(std::string_view word) {
    if (!IsIdentStart(Peek())) return false;
    size_t e = p_;
    while (e < s_.size() && IsIdentChar(s_[e])) ++e;
    return SameText(s_.substr(p_, e - p_), word);
  }

  TResObject ParseObject(int depth) {
    if (depth > kMaxDepth) Fail("Objects nested too deeply");
    TResObject obj;
    obj.Line = line_;
    const std::string keyword = Ident(false);
    if (SameText(keyword, "object"))
      obj.ObjectKind = TResObject::Object;
    else if (SameText(keyword, "inherited"))
      obj.ObjectKind = TResObject::Inherited;
    else if (SameText(keyword, "inline"))
      obj.ObjectKind = TResObject::Inline;
    else
      Fail("'object' expected");
    std::string first = Ident(false);
    if (Peek() == ':') {
      ++p_;
      obj.Name = std::move(first);
      obj.ClassName = Ident(false);
    } else {
      obj.ClassName = std::move(first);
    }
    if (Peek() == '[') {  // the position of an inherited child; not needed here
      ++p_;
      ParseNumber();
      Expect(']');
    }
    while (true) {
      if (AtEnd()) Fail("'end' expected");
      if (NextIsWord("end")) {
        Ident(false);
        break;
      }
      if (NextIsWord("object") || NextIsWord("inherited") || NextIsWord("inline"))
        obj.Children.push_back(ParseObject(depth + 1));
      else
        obj.Properties.push_back(ParseProperty(depth));
    }
    return obj;
  }

  TResProperty ParseProperty(int depth) {
    TResProperty prop;
    prop.Line = line_;
    prop.Name = Ident(true);
    Expect('=');
    prop.Value = ParseValue(depth + 1);
    return prop;
  }

  TResValue ParseValue(int depth) {
    if (depth > kMaxDepth) Fail("Values nested too deeply");
    TResValue v;
    const char c = Peek();
    v.Line = line_;
    if (c == '\'' || c == '#') {
      v.ValueKind = TResValue::String;
      v.Text = ParseString();
      while (Peek() == '+') {
        ++p_;
        const char n = Peek();
        if (n != '\'' && n != '#') Fail("String expected after '+'");
        v.Text += ParseString();
      }
    } else if (c == '-' || c == '+' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
      v = ParseNumber();
    } else if (c == '[') {
      ++p_;
      v.ValueKind = TResValue::Set;
      if (Peek() != ']') {
        while (true) {
          v.Members.push_back(Ident(false));
          if (Peek() == ',') {
            ++p_;
            continue;
          }
          break;
        }
      }
      Expect(']');
    } else if (c == '(') {
      ++p_;
      v.ValueKind = TResValue::List;
      while (Peek() != ')') {
        if (AtEnd()) Fail("')' expected");
        v.Values.push_back(ParseValue(depth + 1));
      }
      ++p_;
    } else if (c == '<') {
      ++p_;
      v.ValueKind = TResValue::Collection;
      while (Peek() != '>') {
        if (!NextIsWord("item")) Fail("'item' expected");
        Ident(false);
        if (Peek() == '[') {
          ++p_;
          ParseNumber();
          Expect(']');
        }
        std::vector<TResProperty> item;
        while (!NextIsWord("end")) {
          if (AtEnd()) Fail("'end' expected");
          item.push_back(ParseProperty(depth + 1));
        }
        Ident(false);
        v.Items.push_back(std::move(item));
      }
      ++p_;
    } else if (c == '{') {
      ++p_;
      v.ValueKind = TResValue::Binary;
      int high = -1;
      while (Peek() != '}') {
        if (p_ >= s_.size()) Fail("'}' expected");
        const char h = s_[p_++];
        if (!std::isxdigit(static_cast<unsigned char>(h))) Fail("Invalid binary value");
        const int nibble =
            std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (std::toupper(h) - 'A' + 10);
        if (high < 0) {
          high = nibble;
        } else {
          v.Text += static_cast<char>(high * 16 + nibble);
          high = -1;
        }
      }
      if (high >= 0) Fail("Invalid binary value");
      ++p_;
    } else if (IsIdentStart(c)) {
      v.ValueKind = TResValue::Ident;
      v.Text = Ident(true);
    } else {
      Fail("Invalid property value");
    }
    return v;
  }

  TResValue ParseNumber() {
    TResValue v;
    v.Line = line_;
    const size_t start = p_;
    if (p_ < s_.size() && (s_[p_] == '-' || s_[p_] == '+')) ++p_;
    if (p_ < s_.size() && s_[p_] == '$') {
      ++p_;
      const size_t digits = p_;
      while (p_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[p_]))) ++p_;
      if (p_ == digits || p_ - digits > 16) Fail("Invalid integer value");
      const uint64_t u =
          std::strtoull(std::string(s_.substr(digits, p_ - digits)).c_str(), nullptr, 16);
      v.Int = s_[start] == '-' ? -static_cast<int64_t>(u) : static_cast<int64_t>(u);
      return v;
    }
    bool isFloat = false;
    while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_]))) ++p_;
    if (p_ < s_.size() && s_[p_] == '.' && p_ + 1 < s_.size() &&
        std::isdigit(static_cast<unsigned char>(s_[p_ + 1]))) {
      isFloat = true;
      ++p_;
      while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_]))) ++p_;
    }
    if (p_ < s_.size() && (s_[p_] == 'e' || s_[p_] == 'E')) {
      size_t e = p_ + 1;
      if (e < s_.size() && (s_[e] == '-' || s_[e] == '+')) ++e;
      if (e < s_.size() && std::isdigit(static_cast<unsigned char>(s_[e]))) {
        isFloat = true;
        p_ = e;
        while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_]))) ++p_;
      }
    }
    const std::string text(s_.substr(start, p_ - start));
    if (text.empty() || text == "-" || text == "+") Fail("Number expected");
    errno = 0;
    if (isFloat) {
      v.ValueKind = TResValue::Float;
      v.Real = std::strtod(text.c_str(), nullptr);
      if (errno == ERANGE || !std::isfinite(v.Real)) Fail("Invalid floating point value " + text);
      // A type suffix (single, currency, date) may follow; the value stays a double.
      if (p_ < s_.size() && std::strchr("sScCdDtT", s_[p_]) &&
          (p_ + 1 >= s_.size() || !IsIdentChar(s_[p_ + 1])))
        ++p_;
    } else {
      v.ValueKind = TResValue::Integer;
      v.Int = std::strtoll(text.c_str(), nullptr, 10);
      if (errno == ERANGE) Fail("Invalid integer value " + text);
    }
    if (p_ < s_.size() && IsIdentChar(s_[p_])) Fail("Invalid number " + text);
    return v;
  }

  // One string token: quoted parts and #nnn codes, written without blanks between them.
  std::string ParseString() {
    std::string out;
    SkipBlanks();
    while (p_ < s_.size() && (s_[p_] == '\'' || s_[p_] == '#')) {
      if (s_[p_] == '\'') {
        ++p_;
        while (true) {
          if (p_ >= s_.size() || s_[p_] == '\n' || s_[p_] == '\r') Fail("Unterminated string");
          if (s_[p_] == '\'') {
            if (p_ + 1 < s_.size() && s_[p_ + 1] == '\'') {
              out += '\'';
              p_ += 2;
              continue;
            }
            ++p_;
            break;
          }
          out += s_[p_++];
        }
      } else {
        ++p_;
        uint64_t code = 0;
        size_t digits = 0;
        if (p_ < s_.size() && s_[p_] == '$') {
          ++p_;
          while (p_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[p_])) &&
                 digits < 9) {
            const char h = s_[p_++];
            code = code * 16 + (std::isdigit(static_cast<unsigned char>(h))
                                    ? h - '0'
                                    : std::toupper(h) - 'A' + 10);
            ++digits;
          }
        } else {
          while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_])) && digits < 9) {
            code = code * 10 + static_cast<uint64_t>(s_[p_++] - '0');
            ++digits;
          }
        }
        if (digits == 0) Fail("Invalid character code");
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) Fail("Invalid character code");
        AppendUtf8(out, static_cast<uint32_t>(code));
      }
    }
    return out;
  }

  std::string_view s_;
  std::string_view source_;
  size_t p_ = 0;
  int line_ = 1;
};

}  // namespace

TResObject ParseFormResource(std::string_view text, std::string_view sourceName) {
  // A UTF-8 byte-order mark may start a resource file.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return Parser(text, sourceName).ParseRoot();
}

// --- Reader ------------------------------------------------------------------------------------

TReader::TReader(std::string sourceName) : sourceName_(std::move(sourceName)) {}

void TReader::Fail(int line, const std::string& message) const {
  throw EReadError(sourceName_ + "(" + IntToStr(line) + "): " + message);
}

void TReader::InvalidValue() const {
  throw EReadError("Invalid property value");
}

void TReader::ReadRootComponent(TComponent* root, std::string_view text) {
  ReadRootComponent(root, ParseFormResource(text, sourceName_));
}

void TReader::ReadRootComponent(TComponent* root, const TResObject& resource) {
  root_ = root;
  loaded_.clear();
  fixups_.clear();
  root->BeginLoading();
  loaded_.push_back(root);
  if (!resource.Name.empty() && !SameText(root->Name(), resource.Name)) {
    // Every resource of the class chain names the root, so the most derived name wins.
    // Two roots of one owner may come from the same resource: the later gets "_n".
    std::string name = resource.Name;
    auto taken = [&](const std::string& n) {
      TComponent* other = root->Owner() ? root->Owner()->FindComponent(n) : nullptr;
      return other != nullptr && other != root;
    };
    for (int n = 1; taken(name); ++n) name = resource.Name + "_" + IntToStr(n);
    try {
      root->SetName(name);
    } catch (const Exception& e) {
      Fail(resource.Line, e.Message());
    }
  }
  ReadProperties(root, root->Name(), resource.Properties);
  for (const TResObject& child : resource.Children) ReadComponent(child, root);
  root->EndReading();
  ResolveFixups();
  // NOTE: Loaded runs root first, then in reading order, once all references are set.
  const std::vector<TComponent*> loaded = std::move(loaded_);
  loaded_.clear();
  for (TComponent* c : loaded) c->Loaded();
}

void TReader::ReadComponent(const TResObject& resource, TComponent* parent) {
  TComponent* component = nullptr;
  if (resource.ObjectKind == TResObject::Inherited) {
    component = root_->FindComponent(resource.Name);
    if (!component) Fail(resource.Line, "Ancestor for '" + resource.Name + "' not found");
  } else {
    TClass cls = FieldClassByName(root_->ClassType(), resource.ClassName);
    if (!cls) cls = GetClass(resource.ClassName);
    if (!cls)
      throw EClassNotFound(sourceName_ + "(" + IntToStr(resource.Line) + "): Class " +
                           resource.ClassName + " not found");
    if (!cls->CreateComponent) Fail(resource.Line, "Class " + cls->Name + " cannot be created");
    try {
      component = cls->CreateComponent(root_);
      component->BeginLoading();
      component->SetName(resource.Name);
    } catch (const Exception& e) {
      Fail(resource.Line, "Error reading " + resource.Name + ": " + e.Message());
    }
  }
  component->BeginLoading();
  loaded_.push_back(component);
  try {
    component->SetParentComponent(parent);
  } catch (const Exception& e) {
    Fail(resource.Line, "Error reading " + resource.Name + ": " + e.Message());
  }
  ReadProperties(component, resource.Name, resource.Properties);
  for (const TResObject& child : resource.Children) ReadComponent(child, component);
  component->EndReading();
}

void TReader::ReadProperties(TObject* instance, const std::string& componentName,
                             const std::vector<TResProperty>& properties) {
  for (const TResProperty& property : properties) ReadProperty(instance, componentName, property);
}

void TReader::ReadProperty(TObject* instance, const std::string& componentName,
                           const TResProperty& property) {
  const std::string where = componentName + "." + property.Name;
  try {
    TObject* target = instance;
    const std::vector<std::string> segments = SplitString(property.Name, '.');
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
      const TPropInfo* prop = GetPropInfo(target, segments[i]);
      if (!prop) throw EReadError("Property " + segments[i] + " does not exist");
      if (prop->Kind() != tkClass)
        throw EReadError("Property " + segments[i] + " is not an object");
      target = GetObjectProp(target, *prop);
      if (!target) throw EReadError("Property " + segments[i] + " has no object");
    }
    const std::string& last = segments.back();
    if (const TPropInfo* prop = GetPropInfo(target, last)) {
      SetPropValue(target, *prop, property.Value, where, property.Line);
      return;
    }
    if (!ReadDefinedProperty(target, last, property.Value))
      throw EReadError("Property " + last + " does not exist");
  } catch (const EParserError&) {
    throw;
  } catch (const EReadError& e) {
    // Messages that already carry a location come from nested reading.
    if (StartsText(sourceName_ + "(", e.Message())) throw;
    Fail(property.Line, "Error reading " + where + ": " + e.Message());
  } catch (const Exception& e) {
    Fail(property.Line, "Error reading " + where + ": " + e.Message());
  }
}

void TReader::SetPropValue(TObject* instance, const TPropInfo& prop, const TResValue& value,
                           const std::string& where, int line) {
  const TTypeInfo* type = prop.PropType;
  switch (prop.Kind()) {
    case tkInteger: {
      int ident = 0;
      if (value.ValueKind == TResValue::Integer)
        SetOrdProp(instance, prop, value.Int);
      else if (value.ValueKind == TResValue::Ident && IdentToInt(value.Text, ident, type->Idents))
        SetOrdProp(instance, prop, ident);
      else
        InvalidValue();
      return;
    }
    case tkChar:
      if (value.ValueKind == TResValue::String && value.Text.size() == 1)
        SetOrdProp(instance, prop, static_cast<unsigned char>(value.Text[0]));
      else if (value.ValueKind == TResValue::Integer)
        SetOrdProp(instance, prop, value.Int);
      else
        InvalidValue();
      return;
    case tkEnumeration: {
      if (value.ValueKind != TResValue::Ident) InvalidValue();
      const int ord = GetEnumValue(type, value.Text);
      if (ord < 0) InvalidValue();
      SetOrdProp(instance, prop, ord);
      return;
    }
    case tkSet: {
      if (value.ValueKind != TResValue::Set) InvalidValue();
      uint64_t bits = 0;
      for (const std::string& member : value.Members) {
        const int ord = GetEnumValue(type->CompType, member);
        if (ord < 0 || ord >= 64) throw EReadError("Invalid property element: " + member);
        bits |= uint64_t{1} << ord;
      }
      SetOrdProp(instance, prop, static_cast<int64_t>(bits));
      return;
    }
    case tkFloat:
      if (value.ValueKind == TResValue::Float)
        SetFloatProp(instance, prop, value.Real);
      else if (value.ValueKind == TResValue::Integer)
        SetFloatProp(instance, prop, static_cast<double>(value.Int));
      else
        InvalidValue();
      return;
    case tkString:
      if (value.ValueKind != TResValue::String) InvalidValue();
      SetStrProp(instance, prop, value.Text);
      return;
    case tkMethod: {
      if (value.ValueKind != TResValue::Ident) InvalidValue();
      if (SameText(value.Text, "nil")) {
        SetMethodProp(instance, prop, TMethod{});
        return;
      }
      const TMethodCode* code = MethodAddress(root_->ClassType(), value.Text);
      if (!code) throw EReadError("Method " + value.Text + " not found");
      SetMethodProp(instance, prop, TMethod{code, root_});
      return;
    }
    case tkClass: {
      if (value.ValueKind == TResValue::Ident) {
        if (SameText(value.Text, "nil"))
          SetObjectProp(instance, prop, nullptr);
        else
          fixups_.push_back({instance, &prop, value.Text, where, line});
        return;
      }
      if (value.ValueKind == TResValue::Collection) {
        auto* collection = dynamic_cast<TCollection*>(GetObjectProp(instance, prop));
        if (!collection) InvalidValue();
        ReadCollection(collection, where, value);
        return;
      }
      InvalidValue();
    }
    default:
      InvalidValue();
  }
}

void TReader::ReadCollection(TCollection* collection, const std::string& where,
                             const TResValue& value) {
  collection->BeginUpdate();
  try {
    collection->Clear();
    for (const auto& itemProperties : value.Items) {
      TCollectionItem* item = collection->Add();
      const std::string itemWhere = where + "[" + IntToStr(item->Index()) + "]";
      for (const TResProperty& property : itemProperties) ReadProperty(item, itemWhere, property);
    }
  } catch (...) {
    collection->EndUpdate();
    throw;
  }
  collection->EndUpdate();
}

bool TReader::ReadDefinedProperty(TObject* instance, const std::string& name,
                                  const TResValue& value) {
  auto* persistent = dynamic_cast<TPersistent*>(instance);
  if (!persistent) return false;
  const std::string savedName = definedName_;
  const TResValue* savedValue = definedValue_;
  const bool savedHandled = definedHandled_;
  const bool savedConsumed = singleConsumed_;
  auto savedFrames = std::move(frames_);
  definedName_ = name;
  definedValue_ = &value;
  definedHandled_ = false;
  singleConsumed_ = false;
  frames_.clear();
  bool handled = false;
  try {
    persistent->DefineProperties(*this);
    handled = definedHandled_;
  } catch (...) {
    definedName_ = savedName;
    definedValue_ = savedValue;
    definedHandled_ = savedHandled;
    singleConsumed_ = savedConsumed;
    frames_ = std::move(savedFrames);
    throw;
  }
  definedName_ = savedName;
  definedValue_ = savedValue;
  definedHandled_ = savedHandled;
  singleConsumed_ = savedConsumed;
  frames_ = std::move(savedFrames);
  return handled;
}

void TReader::DefineProperty(std::string_view name, const std::function<void(TReader&)>& read) {
  if (definedHandled_ || !definedValue_ || !SameText(name, definedName_)) return;
  definedHandled_ = true;
  if (definedValue_->ValueKind == TResValue::Binary) InvalidValue();
  read(*this);
  if (!frames_.empty() || !singleConsumed_) InvalidValue();
}

void TReader::DefineBinaryProperty(std::string_view name,
                                   const std::function<void(std::string_view bytes)>& read) {
  if (definedHandled_ || !definedValue_ || !SameText(name, definedName_)) return;
  definedHandled_ = true;
  if (definedValue_->ValueKind != TResValue::Binary) InvalidValue();
  read(definedValue_->Text);
}

const TResValue& TReader::NextValue() {
  if (!definedValue_) InvalidValue();
  if (!frames_.empty()) {
    Frame& f = frames_.back();
    if (f.Pos >= f.List->Values.size()) InvalidValue();
    return f.List->Values[f.Pos++];
  }
  if (singleConsumed_) InvalidValue();
  singleConsumed_ = true;
  return *definedValue_;
}

std::string TReader::ReadString() {
  const TResValue& v = NextValue();
  if (v.ValueKind != TResValue::String) InvalidValue();
  return v.Text;
}

int64_t TReader::ReadInteger() {
  const TResValue& v = NextValue();
  if (v.ValueKind != TResValue::Integer) InvalidValue();
  return v.Int;
}

double TReader::ReadFloat() {
  const TResValue& v = NextValue();
  if (v.ValueKind == TResValue::Integer) return static_cast<double>(v.Int);
  if (v.ValueKind != TResValue::Float) InvalidValue();
  return v.Real;
}

std::string TReader::ReadIdent() {
  const TResValue& v = NextValue();
  if (v.ValueKind != TResValue::Ident) InvalidValue();
  return v.Text;
}

bool TReader::ReadBoolean() {
  const std::string ident = ReadIdent();
  if (SameText(ident, "True")) return true;
  if (SameText(ident, "False")) return false;
  InvalidValue();
}

void TReader::ReadListBegin() {
  const TResValue& v = NextValue();
  if (v.ValueKind != TResValue::List) InvalidValue();
  frames_.push_back({&v, 0});
}

bool TReader::EndOfList() const {
  return frames_.empty() || frames_.back().Pos >= frames_.back().List->Values.size();
}

void TReader::ReadListEnd() {
  if (frames_.empty() || !EndOfList()) InvalidValue();
  frames_.pop_back();
}

void TReader::ResolveFixups() {
  for (const Fixup& f : fixups_) {
    TComponent* target =
        SameText(root_->Name(), f.Reference) ? root_ : root_->FindComponent(f.Reference);
    if (!target)
      Fail(f.Line, "Error reading " + f.Where + ": Unresolved reference to " + f.Reference);
    try {
      SetObjectProp(f.Instance, *f.Prop, target);
    } catch (const Exception& e) {
      Fail(f.Line, "Error reading " + f.Where + ": " + e.Message());
    }
  }
  fixups_.clear();
}

// --- Entry points ------------------------------------------------------------------------------

bool InitInheritedComponent(TComponent* instance, TClass rootAncestor) {
  std::vector<TClass> chain;
  for (TClass c = instance->ClassType(); c && c != rootAncestor; c = c->Parent)
    chain.insert(chain.begin(), c);
  bool found = false;
  for (TClass c : chain) {
    const std::string* text = FindResourceData(RT_RCDATA, c->Name);
    if (!text) continue;
    TReader(c->Name).ReadRootComponent(instance, *text);
    found = true;
  }
  return found;
}

void ReadComponentResText(std::string_view text, TComponent* instance,
                          std::string_view sourceName) {
  TReader(std::string(sourceName)).ReadRootComponent(instance, text);
}

void ReadComponentResFile(const std::string& fileName, TComponent* instance) {
  std::ifstream in(NativePath(fileName), std::ios::binary);
  if (!in) throw EFilerError("Cannot open file \"" + fileName + "\"");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ReadComponentResText(DecodeTextFile(bytes), instance, ExtractFileName(fileName));
}
