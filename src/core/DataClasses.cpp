#include "core/DataClasses.h"

#include <algorithm>
#include <type_traits>

#include "core/Errors.h"
#include "core/TextCodec.h"

namespace {

template <class>
struct MemberOf;
template <class C, class V>
struct MemberOf<V C::*> {
  using Class = C;
  using Value = V;
};

template <auto Member>
void* FieldAddress(TPersistent& object) {
  using C = typename MemberOf<decltype(Member)>::Class;
  return &(static_cast<C&>(object).*Member);
}

template <auto Member>
constexpr TPropInfo Prop(std::string_view name, bool omitDefault = false) {
  using V = typename MemberOf<decltype(Member)>::Value;
  TPropKind kind;
  if constexpr (std::is_same_v<V, bool>) kind = TPropKind::Boolean;
  else if constexpr (std::is_same_v<V, std::int32_t>) kind = TPropKind::Integer;
  else if constexpr (std::is_same_v<V, std::u16string>) kind = TPropKind::String;
  else {
    static_assert(std::is_base_of_v<TCollection, V>);
    kind = TPropKind::Collection;
  }
  return {name, kind, &FieldAddress<Member>, omitDefault};
}

constexpr TPropInfo kSkiffDataProps[] = {
    Prop<&TSkiffData::DoFlatButtons>("DoFlatButtons"),
    Prop<&TSkiffData::HideProgMan>("HideProgMan"),
    Prop<&TSkiffData::ShowInfo>("ShowInfo"),
    Prop<&TSkiffData::ProgramAsHint>("ProgramAsHint"),
    Prop<&TSkiffData::BottomStr>("BottomStr"),
    Prop<&TSkiffData::HideTaskBar>("HideTaskBar"),
    Prop<&TSkiffData::DisableMinimize>("DisableMinimize"),
    Prop<&TSkiffData::DisableExplorer>("DisableExplorer"),
    Prop<&TSkiffData::DisableDesktop>("DisableDesktop"),
    Prop<&TSkiffData::DisableClose>("DisableClose"),
    Prop<&TSkiffData::BtnSize>("BtnSize"),
    Prop<&TSkiffData::Drives>("Drives"),
    Prop<&TSkiffData::DoubleClickTime>("DoubleClickTime"),
    Prop<&TSkiffData::ExpStartDir>("ExpStartDir"),
    Prop<&TSkiffData::ExpRoot>("ExpRoot"),
    Prop<&TSkiffData::TextOnTop>("TextOnTop"),
    Prop<&TSkiffData::BootDir>("BootDir"),
    Prop<&TSkiffData::VertBarLineBreak>("VertBarLineBreak"),
    Prop<&TSkiffData::BeforeScreenSaverCommand>("BeforeScreenSaverCommand"),
    Prop<&TSkiffData::BeforeScreenSaverParameters>("BeforeScreenSaverParameters"),
    Prop<&TSkiffData::Groups>("Groups"),
    Prop<&TSkiffData::BlockShellKeys>("BlockShellKeys", true),
};

constexpr TPropInfo kGroupItemProps[] = {
    Prop<&TGroupItem::Name>("Name"),
    Prop<&TGroupItem::Apps>("Apps"),
};

constexpr TPropInfo kAppItemProps[] = {
    Prop<&TAppItem::Title>("Title"),
    Prop<&TAppItem::Command>("Command"),
    Prop<&TAppItem::Parameters>("Parameters"),
    Prop<&TAppItem::Directory>("Directory"),
    Prop<&TAppItem::MinimizeOnRun>("MinimizeOnRun"),
    Prop<&TAppItem::WindowState>("WindowState"),
    Prop<&TAppItem::DialogType>("DialogType"),
    Prop<&TAppItem::DialogText>("DialogText"),
    Prop<&TAppItem::IconLocation>("IconLocation"),
    Prop<&TAppItem::Hint>("Hint"),
    Prop<&TAppItem::IgnoreAccessDenied>("IgnoreAccessDenied"),
};

[[noreturn]] void CannotAssign(const TPersistent& source, const TPersistent& target) {
  throw EConvertError(
      Format(u"Cannot assign a %s to a %s", {source.ClassName(), target.ClassName()}));
}

}  // namespace

void TPersistent::Assign(const TPersistent& source) { CannotAssign(source, *this); }

const TPropInfo* FindProperty(const TPersistent& object, std::string_view name) {
  for (const TPropInfo& p : object.Properties())
    if (SameTextAscii(p.Name, name)) return &p;
  return nullptr;
}

int TCollectionItem::Index() const { return FCollection->IndexOf(*this); }

int TCollection::IndexOf(const TCollectionItem& item) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == &item) return static_cast<int>(i);
  return -1;
}

void TCollection::Delete(int index) { FItems.erase(FItems.begin() + index); }

TCollectionItem& TCollection::AddItem() { return *FItems.emplace_back(NewItem()); }

void TCollection::Assign(const TPersistent& source) {
  if (&source == this) return;
  if (source.ClassName() != ClassName()) CannotAssign(source, *this);
  const auto& from = static_cast<const TCollection&>(source);
  std::vector<std::unique_ptr<TCollectionItem>> copies;
  copies.reserve(from.FItems.size());
  for (const auto& item : from.FItems) {
    copies.push_back(NewItem());
    copies.back()->Assign(*item);
  }
  FItems = std::move(copies);
}

std::span<const TPropInfo> TSkiffData::Properties() const { return kSkiffDataProps; }
std::span<const TPropInfo> TGroupItem::Properties() const { return kGroupItemProps; }
std::span<const TPropInfo> TAppItem::Properties() const { return kAppItemProps; }

void TAppItem::Assign(const TPersistent& source) {
  if (source.ClassName() != ClassName()) CannotAssign(source, *this);
  const auto& from = static_cast<const TAppItem&>(source);
  Title = from.Title;
  Command = from.Command;
  Parameters = from.Parameters;
  Directory = from.Directory;
  MinimizeOnRun = from.MinimizeOnRun;
  WindowState = from.WindowState;
  DialogType = from.DialogType;
  DialogText = from.DialogText;
  IconLocation = from.IconLocation;
  Hint = from.Hint;
  IgnoreAccessDenied = from.IgnoreAccessDenied;
}

void TGroupItem::Assign(const TPersistent& source) {
  if (source.ClassName() != ClassName()) CannotAssign(source, *this);
  const auto& from = static_cast<const TGroupItem&>(source);
  Apps.Assign(from.Apps);
  Name = from.Name;
}
