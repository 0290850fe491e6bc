// Form resources in the platform's text syntax:
//
//   object frmMain: TfrmMain
//     Caption = 'Main'#13#10'form'          strings: '...' with '' for a quote, #nnn codes
//     Font.Style = [fsBold]                  dotted paths, sets
//     Items.Strings = ('one' 'two')          lists (a string list's lines)
//     Columns = <item Caption = 'A' end>     collections
//     Glyph.Data = {0A0B...}                 binary data
//     OnClick = btnOkClick                   methods of the root, component references
//     object Panel1: TPanel ... end          owned components, created by class name
//   end
//
// "inherited Name: TClass" reads into the component of that name the ancestor's resource
// created. Components are created with the root as owner and the enclosing component as
// parent, read under csLoading, and get Loaded once every reference is resolved.
//
// Deviations by design:
// - Texts are UTF-8; #nnn is the Unicode character nnn.
// - A component whose reading failed stays owned by the root (the caller frees the root).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Classes.h"

KXBR_EXCEPTION_CLASS(EParserError, Exception)

struct TResProperty;

// A value of the resource text.
struct TResValue {
  enum Kind { Integer, Float, String, Ident, Set, List, Collection, Binary };
  Kind ValueKind = Integer;
  int64_t Int = 0;
  double Real = 0;
  std::string Text;                              // String, Ident, Binary (the bytes)
  std::vector<std::string> Members;              // Set
  std::vector<TResValue> Values;                 // List
  std::vector<std::vector<TResProperty>> Items;  // Collection: the properties of each item
  int Line = 0;
};

struct TResProperty {
  std::string Name;  // possibly dotted ("Font.Name")
  TResValue Value;
  int Line = 0;
};

struct TResObject {
  enum Kind { Object, Inherited, Inline };
  Kind ObjectKind = Object;
  std::string Name;
  std::string ClassName;
  std::vector<TResProperty> Properties;
  std::vector<TResObject> Children;
  int Line = 0;
};

// Parses resource text; raises EParserError "<source>(<line>): <reason>".
TResObject ParseFormResource(std::string_view text, std::string_view sourceName);

class TReader : public TFiler {
 public:
  explicit TReader(std::string sourceName);

  // Reads `text` into the existing `root`: the top object's properties are set on it, its
  // children are created (or, when inherited, found) and owned by it. Raises
  // EParserError for malformed text and EReadError / EClassNotFound naming the source,
  // line and name for unknown classes, properties, values and references.
  void ReadRootComponent(TComponent* root, std::string_view text);
  void ReadRootComponent(TComponent* root, const TResObject& resource);
  TComponent* Root() const { return root_; }
  const std::string& SourceName() const { return sourceName_; }

  // Reading a defined property's value (inside a DefineProperty callback).
  std::string ReadString();
  int64_t ReadInteger();
  double ReadFloat();
  std::string ReadIdent();
  bool ReadBoolean();
  void ReadListBegin();
  bool EndOfList() const;
  void ReadListEnd();

  void DefineProperty(std::string_view name, const std::function<void(TReader&)>& read) override;
  void DefineBinaryProperty(std::string_view name,
                            const std::function<void(std::string_view bytes)>& read) override;

 private:
  struct Fixup {
    TObject* Instance;
    const TPropInfo* Prop;
    std::string Reference;
    std::string Where;  // "Comp.Prop" for messages
    int Line;
  };
  struct Frame {
    const TResValue* List;
    size_t Pos;
  };

  void ReadComponent(const TResObject& resource, TComponent* parent);
  void ReadProperties(TObject* instance, const std::string& componentName,
                      const std::vector<TResProperty>& properties);
  void ReadProperty(TObject* instance, const std::string& componentName,
                    const TResProperty& property);
  void SetPropValue(TObject* instance, const TPropInfo& prop, const TResValue& value,
                    const std::string& where, int line);
  bool ReadDefinedProperty(TObject* instance, const std::string& name, const TResValue& value);
  void ReadCollection(TCollection* collection, const std::string& where, const TResValue& value);
  void ResolveFixups();
  const TResValue& NextValue();
  [[noreturn]] void Fail(int line, const std::string& message) const;
  [[noreturn]] void InvalidValue() const;

  std::string sourceName_;
  TComponent* root_ = nullptr;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
  // Defined-property reading state.
  std::string definedName_;
  const TResValue* definedValue_ = nullptr;
  bool definedHandled_ = false;
  bool singleConsumed_ = false;
  std::vector<Frame> frames_;
};

// Reads every form resource of the class chain of `instance`, from the class below
// `rootAncestor` down to the instance's own class, each registered as an RT_RCDATA
// resource named after its class. True when at least one was found.
bool InitInheritedComponent(TComponent* instance, TClass rootAncestor);
// Reads one resource text or file into an existing root.
void ReadComponentResText(std::string_view text, TComponent* instance, std::string_view sourceName);
void ReadComponentResFile(const std::string& fileName, TComponent* instance);
