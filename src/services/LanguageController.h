// Language packs: XML files that override published properties of a form and of the
// components it owns. The root element stands for the form; every other element that
// matters is named after a component (the first of a name anywhere counts), and each of
// its attributes assigns a property path (Caption, Font.Color, Items_2, Columns_1.Caption,
// Panels.Items_0.Text) from text.
//
// Deviations by design:
// - Readers are chosen through a table of classes (TReaderFactory::Register), so that a
//   control family can bring its own reader; combo boxes have TCustomComboBoxRead, every
//   other component TComponentRead.
// - An indexed line at or beyond kMaxPackLineIndex is skipped like a value that does not
//   convert: appending that many empty lines would exhaust memory.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "CodeConverter.h"
#include "XMLDoc.h"

inline constexpr int kMaxPackLineIndex = 65536;

KXBR_EXCEPTION_CLASS(LanguageControllerError, Exception)

using TLoadComponentEvent = TEvent<void(TComponent* xComponent, TXMLElement xComponentNode)>;

// A component reader: applies the attributes of one element to one component.
class ILangRead {
 public:
  virtual ~ILangRead() = default;
  virtual TComponent* GetComponent() const = 0;
  virtual TXMLElement GetNode() const = 0;
  virtual void SetComponent(TComponent* component) = 0;
  virtual void SetNode(TXMLElement node) = 0;
  // The attribute by position (an integer) or by name (a text).
  virtual void ReadAttribute(const Variant& index) = 0;
  virtual void Read() = 0;
};

class TComponentRead : public ILangRead {
 public:
  TComponentRead(TComponent* component, TXMLElement node);
  TComponent* GetComponent() const override { return component_; }
  TXMLElement GetNode() const override { return node_; }
  void SetComponent(TComponent* component) override { component_ = component; }
  void SetNode(TXMLElement node) override { node_ = node; }
  void ReadAttribute(const Variant& index) override;
  void Read() override;
  // Applies one attribute; a missing or read-only property, or a value that does not
  // convert, is skipped.
  virtual void ApplyAttribute(const std::string& name, const std::string& value);

 private:
  TComponent* component_;
  TXMLElement node_;
};

// A combo box keeps its selected line while its lines are replaced.
class TCustomComboBoxRead : public TComponentRead {
 public:
  using TComponentRead::TComponentRead;
  void Read() override;
};

class TReaderFactory {
 public:
  using Creator = std::function<std::unique_ptr<ILangRead>(TComponent*, TXMLElement)>;
  // The reader for a component: the creator registered for its class or the nearest
  // ancestor, else a TComponentRead.
  static std::unique_ptr<ILangRead> CreateReader(TComponent* component, TXMLElement node);
  static void Register(TClass cls, Creator creator);
};

class TLangReader : public TObject {
  KXBR_CLASS(TLangReader, TObject)

 public:
  explicit TLangReader(const TXMLDocument* document);
  // Applies the document to `component` and everything it owns.
  virtual void ReadComponent(TComponent* component);

  std::vector<std::string>& ExcludeNames() { return excludeNames_; }
  void SetBeforeLoadComponent(TLoadComponentEvent e) { beforeLoad_ = e; }
  void SetAfterLoadComponent(TLoadComponentEvent e) { afterLoad_ = e; }

 protected:
  virtual void DoBeforeLoadComponent(TComponent* component, TXMLElement node);
  virtual void DoAfterLoadComponent(TComponent* component, TXMLElement node);

 private:
  void ReadFrom(TComponent* component, TXMLElement node);
  bool Excluded(const std::string& name) const;

  const TXMLDocument* document_;
  std::vector<std::string> excludeNames_;
  TLoadComponentEvent beforeLoad_;
  TLoadComponentEvent afterLoad_;
};

class TLanguageController : public TComponent {
  KXBR_CLASS(TLanguageController, TComponent)

 public:
  explicit TLanguageController(TComponent* owner);
  ~TLanguageController() override;

  bool Active() const;
  void SetActive(bool value);
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value);
  TStrings* XMLText() const { return xmlText_.get(); }
  void SetXMLText(TStrings* value);
  TStrings* ExcludeControls() const { return excludeControls_.get(); }
  void SetExcludeControls(TStrings* value);
  // Raises LanguageControllerError "No active LanguageController!" while inactive.
  TLangReader* Reader() const;

  const TNotifyEvent& BeforeOpen() const { return beforeOpen_; }
  void SetBeforeOpen(TNotifyEvent e) { beforeOpen_ = e; }
  const TNotifyEvent& AfterOpen() const { return afterOpen_; }
  void SetAfterOpen(TNotifyEvent e) { afterOpen_ = e; }
  const TNotifyEvent& BeforeClose() const { return beforeClose_; }
  void SetBeforeClose(TNotifyEvent e) { beforeClose_ = e; }
  const TNotifyEvent& AfterClose() const { return afterClose_; }
  void SetAfterClose(TNotifyEvent e) { afterClose_ = e; }
  const TLoadComponentEvent& BeforeLoadComponent() const { return beforeLoadComponent_; }
  void SetBeforeLoadComponent(TLoadComponentEvent e) { beforeLoadComponent_ = e; }
  const TLoadComponentEvent& AfterLoadComponent() const { return afterLoadComponent_; }
  void SetAfterLoadComponent(TLoadComponentEvent e) { afterLoadComponent_ = e; }

  void Loaded() override;
  // Published so that the string lists can call back (OnChange).
  void XMLTextChanged(TObject* sender);
  void ExcludeControlsChanged(TObject* sender);

 protected:
  virtual void DoBeforeOpen() { beforeOpen_(this); }
  virtual void DoAfterOpen() { afterOpen_(this); }
  virtual void DoBeforeClose() { beforeClose_(this); }
  virtual void DoAfterClose() { afterClose_(this); }

 private:
  void Open();
  void Close();

  std::string fileName_;
  std::unique_ptr<TStringList> xmlText_;
  std::unique_ptr<TStringList> excludeControls_;
  std::unique_ptr<TXMLDocument> document_;
  std::unique_ptr<TLangReader> reader_;
  bool streamedActive_ = false;
  TNotifyEvent beforeOpen_, afterOpen_, beforeClose_, afterClose_;
  TLoadComponentEvent beforeLoadComponent_, afterLoadComponent_;
};

class TQmLangController : public TLanguageController {
  KXBR_CLASS(TQmLangController, TLanguageController)

 public:
  explicit TQmLangController(TComponent* owner);
  const std::string& LangPackageName() const { return langPackageName_; }
  // A new name points FileName at LangDirectory(DesignType) + name + ".Lng".
  void SetLangPackageName(const std::string& value);
  TDesignType DesignType() const { return designType_; }
  void SetDesignType(TDesignType value) { designType_ = value; }

 private:
  std::string langPackageName_;
  TDesignType designType_ = dtClient;
};
