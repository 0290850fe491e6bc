// Persistent objects, components with ownership and notifications, collections, string
// lists, embedded resources and observers of outward changes.
//
// Deviations by design:
// - An owner frees its owned components last-first after the whole subtree is marked
//   csDestroying (FreeNotification partners are told before anything is freed).
// - Text comparison "by the locale's rules" compares ASCII letters without regard to case
//   (lower case first among otherwise equal texts) and other text by its bytes in the
//   interface code page (GBK order for code page 936).
// - TStrings.ValueFromIndex of a line without a separator is "" (the platform drops the
//   line's first character).
// - Sorting is stable.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Events.h"
#include "SysUtils.h"
#include "TypInfo.h"

KXBR_EXCEPTION_CLASS(EComponentError, Exception)
KXBR_EXCEPTION_CLASS(EReadError, EFilerError)
KXBR_EXCEPTION_CLASS(EInvalidOperation, Exception)

class TReader;
class TPersistent;

// Text comparison of the platform's "Ansi" functions (see the deviations above).
int AnsiCompareText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);
// A Pascal identifier: a letter or "_", then letters, digits or "_".
bool IsValidIdent(std::string_view ident);

// Lets an object store properties that are not published (a string list's lines, a
// bitmap's pixels) in form resources.
class TFiler {
 public:
  virtual ~TFiler() = default;
  virtual void DefineProperty(std::string_view name, const std::function<void(TReader&)>& read) = 0;
  virtual void DefineBinaryProperty(std::string_view name,
                                    const std::function<void(std::string_view bytes)>& read) = 0;
};

class TPersistent : public TObject {
  KXBR_CLASS(TPersistent, TObject)

 public:
  // Copies `source` into this object; raises EConvertError "Cannot assign a TX to a TY"
  // when neither class knows the other.
  virtual void Assign(const TPersistent* source);
  virtual std::string GetNamePath() const;
  virtual void DefineProperties(TFiler&) {}

 protected:
  virtual void AssignTo(TPersistent* dest) const;
  virtual TPersistent* GetOwner() const { return nullptr; }
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

KXBR_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning,
          csAncestor, csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
using TComponentState = TSet<TComponentStateItem>;
KXBR_ENUM(TOperation, opInsert, opRemove)

class TComponent : public TPersistent {
  KXBR_CLASS(TComponent, TPersistent)

 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // Raises EComponentError for a name that is not an identifier or that another
  // component of the same owner already has (without regard to case).
  virtual void SetName(const std::string& name);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  // Where a non-visual component sits on its form in the designer: left in the low word,
  // top in the high word; read from the resource's "Left" and "Top".
  int32_t DesignInfo() const { return designInfo_; }
  void SetDesignInfo(int32_t v) { designInfo_ = v; }
  void DefineProperties(TFiler& filer) override;

  // Owned components in creation (insertion) order.
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;  // raises EListError out of range
  int ComponentIndex() const;               // position in the owner's list, -1 without owner
  // The owned component of that name, without regard to case; null for "" or none.
  TComponent* FindComponent(std::string_view name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees all owned components, last first.
  void DestroyComponents();
  // Marks this component and everything it owns csDestroying.
  void Destroying();

  TComponentState ComponentState() const { return state_; }
  void SetDesigning(bool value, bool setChildren = true);

  // Asks for a Notification(component, opRemove) when `component` is freed (and tells it
  // when this one is freed). Within one owner the owner's notification does this already.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Reading from a form resource: the reader sets csLoading and csReading, then calls
  // Loaded on every component it read once all references are resolved.
  virtual void Loaded();
  void BeginLoading();  // sets csLoading and csReading
  void EndReading();    // clears csReading
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent*) {}

  std::string GetNamePath() const override { return name_; }

 protected:
  // Told when `component` is inserted into or removed from this owner, or when a
  // component this one asked about (FreeNotification) is freed. The default passes the
  // notification on to all owned components.
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void ValidateRename(TComponent* component, const std::string& curName,
                              const std::string& newName);
  TPersistent* GetOwner() const override { return owner_; }

 private:
  void SetReference(bool enable);
  void RemoveFreeNotifications();
  void Tidy();

  TComponent* owner_ = nullptr;
  std::string name_;
  int tag_ = 0;
  int32_t designInfo_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_;
  bool tidied_ = false;
};

// --- Collections -------------------------------------------------------------------------------

class TCollection;

class TCollectionItem : public TPersistent {
  KXBR_CLASS(TCollectionItem, TPersistent)

 public:
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  void SetCollection(TCollection* collection);
  int Index() const;
  void SetIndex(int index);
  int ID() const { return id_; }
  virtual std::string DisplayName() const;
  std::string GetNamePath() const override;

 protected:
  void Changed(bool allItems);
  TPersistent* GetOwner() const override;

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
  KXBR_CLASS(TCollection, TPersistent)

 public:
  explicit TCollection(TClass itemClass);
  ~TCollection() override;

  TClass ItemClass() const { return itemClass_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int index) const;  // raises EListError out of range
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  void Assign(const TPersistent* source) override;
  std::string GetNamePath() const override;

 protected:
  // Called after a change of `item` (null: of the whole collection), outside updates.
  virtual void Update(TCollectionItem*) {}
  virtual void Notify(TCollectionItem*, TCollectionNotification) {}
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(TCollectionItem* item, int index);

  TClass itemClass_;
  std::vector<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};

// A collection that names a persistent owner (a list view's columns).
class TOwnedCollection : public TCollection {
  KXBR_CLASS(TOwnedCollection, TCollection)

 public:
  TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), owner_(owner) {}

 protected:
  TPersistent* GetOwner() const override { return owner_; }

 private:
  TPersistent* owner_;
};

// --- String lists ------------------------------------------------------------------------------

class TStrings : public TPersistent {
  KXBR_CLASS(TStrings, TPersistent)

 public:
  int Count() const { return GetCount(); }
  std::string Strings(int index) const { return Get(index); }
  void SetStrings(int index, const std::string& s) { Put(index, s); }
  TObject* Objects(int index) const { return GetObject(index); }
  void SetObjects(int index, TObject* object) { PutObject(index, object); }

  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, TObject* object);
  void Append(const std::string& s) { Add(s); }
  void AddStrings(const TStrings* strings);
  virtual void Insert(int index, const std::string& s) = 0;
  void InsertObject(int index, const std::string& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);

  virtual int IndexOf(std::string_view s) const;
  int IndexOfName(std::string_view name) const;
  int IndexOfObject(const TObject* object) const;

  // Every line followed by CR LF; writing splits at CR LF, CR or LF.
  std::string Text() const;
  virtual void SetText(std::string_view text);
  std::string CommaText() const;
  void SetCommaText(std::string_view text);
  std::string DelimitedText() const;
  void SetDelimitedText(std::string_view text);
  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char c) { delimiter_ = c; }
  char QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(char c) { quoteChar_ = c; }
  char NameValueSeparator() const { return nameValueSeparator_; }
  void SetNameValueSeparator(char c) { nameValueSeparator_ = c; }

  // "name=value" lines: the name is the text before the first separator ("" when none).
  std::string Names(int index) const;
  std::string Values(std::string_view name) const;
  // Replaces or appends "name=value"; an empty value deletes the line.
  void SetValues(std::string_view name, std::string_view value);
  std::string ValueFromIndex(int index) const;
  void SetValueFromIndex(int index, std::string_view value);

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // Lines and objects of another string list (this list's own sorting rules apply).
  void Assign(const TPersistent* source) override;
  bool Equals(const TStrings* other) const;
  std::vector<std::string> ToVector() const;

  // Files are read in the system code page (UTF-8 with a byte-order mark as UTF-8) and
  // written as UTF-8 with the mark, so that every text survives a round trip. Raise
  // EInOutError when the file cannot be read or written.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

  void DefineProperties(TFiler& filer) override;

 protected:
  virtual std::string Get(int index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int) const { return nullptr; }
  virtual void Put(int index, const std::string& s);
  virtual void PutObject(int, TObject*) {}
  virtual void SetUpdateState(bool) {}
  virtual int CompareStrings(std::string_view a, std::string_view b) const;
  void AssignTo(TPersistent* dest) const override;
  [[noreturn]] void Error(const std::string& message, int index) const;

 private:
  char delimiter_ = ',';
  char quoteChar_ = '"';
  char nameValueSeparator_ = '=';
  int updateCount_ = 0;
};

KXBR_ENUM(TDuplicates, dupIgnore, dupAccept, dupError)

class TStringList : public TStrings {
  KXBR_CLASS(TStringList, TStrings)

 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> lines);

  int Add(const std::string& s) override;
  int AddObject(const std::string& s, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  int IndexOf(std::string_view s) const override;

  // Binary search of a sorted list: true when found; `index` is where `s` is or belongs.
  bool Find(std::string_view s, int& index) const;
  void Sort();
  void CustomSort(const std::function<int(const TStringList*, int, int)>& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent e) { onChange_ = e; }
  const TNotifyEvent& OnChanging() const { return onChanging_; }
  void SetOnChanging(TNotifyEvent e) { onChanging_ = e; }

 protected:
  std::string Get(int index) const override;
  int GetCount() const override { return static_cast<int>(items_.size()); }
  TObject* GetObject(int index) const override;
  void Put(int index, const std::string& s) override;
  void PutObject(int index, TObject* object) override;
  void SetUpdateState(bool updating) override;
  int CompareStrings(std::string_view a, std::string_view b) const override;
  virtual void Changed();
  virtual void Changing();

 private:
  struct Item {
    std::string Text;
    TObject* Object = nullptr;
  };
  void InsertItem(int index, const std::string& s, TObject* object);
  void CheckIndex(int index) const;

  std::vector<Item> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool caseSensitive_ = false;
  TNotifyEvent onChange_;
  TNotifyEvent onChanging_;
};

// --- Embedded resources -------------------------------------------------------------------------

inline constexpr std::string_view RT_BITMAP = "BITMAP";
inline constexpr std::string_view RT_RCDATA = "RCDATA";

// The module's resources (bitmaps, form resources) by type and name; names compare
// without regard to case. Registering a name again replaces its data.
void RegisterResource(std::string_view type, std::string_view name, std::string data);
void UnregisterResource(std::string_view type, std::string_view name);
const std::string* FindResourceData(std::string_view type, std::string_view name);

// --- Observers of outward changes ---------------------------------------------------------------

enum TObserverEvent { oeCreated, oeDestroying, oeChanged };

// An observer (the Qt view) hears of creation, destruction and outward changes (`what`
// names the property: "Bounds", "Text", "Visible", ...). Observers must not free the
// component they are told about.
class IComponentObserver {
 public:
  virtual ~IComponentObserver() = default;
  virtual void ComponentChanged(TComponent* component, TObserverEvent event,
                                std::string_view what) = 0;
};

void AddComponentObserver(IComponentObserver* observer);
void RemoveComponentObserver(IComponentObserver* observer);
void NotifyComponentObservers(TComponent* component, TObserverEvent event,
                              std::string_view what = {});
