// The settings objects: the options, the groups and their application
// entries. Plain data holders; the published properties of each class, in
// the order the settings file stores them, are listed by Properties().
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TPersistent;
class TCollection;

enum class TPropKind { Boolean, Integer, String, Collection };

// One published property. Address returns the field inside an object of the
// owning class: bool*, std::int32_t*, std::u16string* or TCollection*.
struct TPropInfo {
  std::string_view Name;
  TPropKind Kind;
  void* (*Address)(TPersistent&);
  // Written only when it differs from its default (False): a property added
  // later leaves every file that does not use it as it was.
  bool OmitDefault = false;
};

class TPersistent {
 public:
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
  virtual ~TPersistent() = default;

  virtual std::u16string_view ClassName() const = 0;
  virtual std::span<const TPropInfo> Properties() const { return {}; }
  // Fails with "Cannot assign a %s to a %s" unless a class knows the source.
  virtual void Assign(const TPersistent& source);
};

// Finds a published property ignoring ASCII letter case; null when absent.
const TPropInfo* FindProperty(const TPersistent& object, std::string_view name);

class TCollectionItem : public TPersistent {
 public:
  explicit TCollectionItem(TCollection& collection) : FCollection(&collection) {}
  TCollection& Collection() const { return *FCollection; }
  int Index() const;

 private:
  TCollection* FCollection;
};

// An ordered collection that owns its items.
class TCollection : public TPersistent {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  void Clear() { FItems.clear(); }
  void Delete(int index);
  TCollectionItem& AddItem();
  TCollectionItem& ItemAt(int index) const { return *FItems.at(index); }
  int IndexOf(const TCollectionItem& item) const;

  // Replaces the items by copies of the source's items. The copies are made
  // first, so a failed copy leaves this collection as it was.
  void Assign(const TPersistent& source) override;

 protected:
  virtual std::unique_ptr<TCollectionItem> NewItem() = 0;

 private:
  std::vector<std::unique_ptr<TCollectionItem>> FItems;
};

template <class Item>
class TTypedCollection : public TCollection {
 public:
  Item& Add() { return static_cast<Item&>(AddItem()); }
  Item& operator[](int index) const { return static_cast<Item&>(ItemAt(index)); }

 protected:
  std::unique_ptr<TCollectionItem> NewItem() override {
    return std::make_unique<Item>(*this);
  }
};

class TAppItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  std::u16string_view ClassName() const override { return u"TAppItem"; }
  std::span<const TPropInfo> Properties() const override;
  void Assign(const TPersistent& source) override;

  std::u16string Title;
  std::u16string Command;
  std::u16string Parameters;
  std::u16string Directory;
  bool MinimizeOnRun = false;
  std::u16string WindowState;  // "N", "M" or "X"
  std::u16string DialogType;   // "N", "Y" or "O"
  std::u16string DialogText;
  std::u16string IconLocation;
  std::u16string Hint;
  bool IgnoreAccessDenied = false;

  // Position of the entry's icon in the main window's image list; -1 until
  // it is added. Never stored and never copied.
  int ImageIndex = -1;
};

class TAppCollection : public TTypedCollection<TAppItem> {
 public:
  std::u16string_view ClassName() const override { return u"TAppCollection"; }
};

class TGroupItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  std::u16string_view ClassName() const override { return u"TGroupItem"; }
  std::span<const TPropInfo> Properties() const override;
  void Assign(const TPersistent& source) override;

  std::u16string Name;
  TAppCollection Apps;
};

class TGroupCollection : public TTypedCollection<TGroupItem> {
 public:
  std::u16string_view ClassName() const override { return u"TGroupCollection"; }
};

// What the settings root keeps of a component: its name and the Tag, Left
// and Top that a settings file may carry. Left and Top are 16-bit.
class TComponent : public TPersistent {
 public:
  std::u16string Name;
  std::int32_t Tag = 0;
  std::uint16_t Left = 0;
  std::uint16_t Top = 0;
};

class TSkiffData : public TComponent {
 public:
  std::u16string_view ClassName() const override { return u"TSkiffData"; }
  std::span<const TPropInfo> Properties() const override;

  bool DoFlatButtons = false;
  bool HideProgMan = false;
  bool ShowInfo = false;
  bool ProgramAsHint = false;
  bool BottomStr = false;
  bool HideTaskBar = false;
  bool DisableMinimize = false;
  bool DisableExplorer = false;
  bool DisableDesktop = false;
  bool DisableClose = false;
  std::int32_t BtnSize = 0;  // 0 Mini, 1 Small, 2 Large
  std::u16string Drives;
  std::int32_t DoubleClickTime = 0;
  std::u16string ExpStartDir;
  bool ExpRoot = false;
  bool TextOnTop = false;
  std::u16string BootDir;
  bool VertBarLineBreak = false;
  std::u16string BeforeScreenSaverCommand;
  std::u16string BeforeScreenSaverParameters;
  TGroupCollection Groups;
  bool BlockShellKeys = false;  // a low-level hook keeps the Windows key and the like from the shell
};
