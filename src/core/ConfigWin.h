// The configuration dialog's rules that need no window: what a drop in the
// tree does, the delete question, writing the tree's order back into the
// settings, and which option property each control of the options page
// shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/DataClasses.h"

inline constexpr char16_t kNewGroupName[] = u"New Group";
inline constexpr char16_t kMustDropGroup[] = u"Must drop a group onto another group";
inline constexpr char16_t kConfirmCaption[] = u"Confirm";
// What Add Item and the command's Browse offer: programs and shortcuts
// first, documents, anything.
inline constexpr char16_t kAddItemFilter[] =
    u"Programs and shortcuts (*.exe, *.lnk, *.bat, *.cmd)|*.exe;*.lnk;*.bat;*.cmd;*.com;*.url|"
    u"Documents (*.pdf, *.doc, *.xls, *.txt, *.htm ...)|*.pdf;*.doc;*.docx;*.xls;*.xlsx;*.ppt;*.pptx;*.odt;*.ods;"
    u"*.rtf;*.txt;*.htm;*.html|All Files (*.*)|*.*";

enum class TDropEffect {
  deNone,         // dropped on itself
  deAppBefore,    // the entry goes before the target entry, in the target's group
  deAppAsLast,    // the entry goes to the end of the target group
  deGroupBefore,  // the group goes before the target group
  deRefuse,       // a group on an entry: kMustDropGroup, nothing moves
};
TDropEffect DropEffectFor(bool draggedIsEntry, bool targetIsEntry, bool targetIsDragged);

// "Are you sure you want to delete the application "Title"?" for an entry,
// "... the group "Name" and all it's applications?" for a group.
std::u16string DeletePrompt(const TAppItem* entry, const TGroupItem& group);

// One top-level node of the tree and, in order, the entries under it.
struct TTreeGroup {
  const TGroupItem* Group;
  std::vector<const TAppItem*> Apps;
};
// Replaces the settings' groups by copies made in the tree's order. The
// copies are complete before the live groups go, so a failure leaves the
// settings as they were; the tree's objects are freed by this.
void StoreTree(const std::vector<TTreeGroup>& tree, TSkiffData& settings);

// The options page: each check box or edit and the property it shows.
struct TOptionCheck {
  const char* Control;
  bool TSkiffData::*Property;
};
struct TOptionText {
  const char* Control;
  std::u16string TSkiffData::*Property;
};
extern const TOptionCheck kOptionChecks[13];
extern const TOptionText kOptionTexts[3];
// The radio buttons of the button size, by BtnSize.
extern const char* const kButtonSizeRadios[3];

// The entry editor's two lists: the item a stored code shows as (anything
// but the known upper-case letters is item 0) and the code an item stores.
int DialogTypeItem(std::u16string_view code);
std::u16string DialogTypeCode(int item);
int WindowStateItem(std::u16string_view code);
std::u16string WindowStateCode(int item);

// The folder part of a command, up to and including its last path
// separator or drive colon; empty when there is none.
std::u16string CommandFolder(std::u16string_view command);
// Icon, program and library files: the ones whose icons an entry stores by
// file and index (the letter case of the extension does not matter).
bool IsIconLocationFile(std::u16string_view fileName);
// What an entry stores after a pick of icon `index` of `fileName`:
// "file,index" for those files, empty (the command's own icon) otherwise.
std::u16string IconLocationFor(std::u16string_view fileName, int index);
