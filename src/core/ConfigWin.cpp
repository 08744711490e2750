#include "core/ConfigWin.h"

#include "core/IconProcs.h"

TDropEffect DropEffectFor(bool draggedIsEntry, bool targetIsEntry, bool targetIsDragged) {
  if (targetIsDragged) return TDropEffect::deNone;
  if (draggedIsEntry) return targetIsEntry ? TDropEffect::deAppBefore : TDropEffect::deAppAsLast;
  return targetIsEntry ? TDropEffect::deRefuse : TDropEffect::deGroupBefore;
}

std::u16string DeletePrompt(const TAppItem* entry, const TGroupItem& group) {
  std::u16string text = u"Are you sure you want to delete ";
  if (entry) return text + u"the application \"" + entry->Title + u"\"?";
  return text + u"the group \"" + group.Name + u"\" and all it's applications?";
}

void StoreTree(const std::vector<TTreeGroup>& tree, TSkiffData& settings) {
  TGroupCollection copies;
  for (const TTreeGroup& node : tree) {
    TGroupItem& group = copies.Add();
    group.Name = node.Group->Name;
    for (const TAppItem* app : node.Apps) group.Apps.Add().Assign(*app);
  }
  settings.Groups.Assign(copies);
}

const TOptionCheck kOptionChecks[13] = {
    {"HidePMCB", &TSkiffData::HideProgMan},
    {"FlatButtons", &TSkiffData::DoFlatButtons},
    {"ProgramAsHint", &TSkiffData::ProgramAsHint},
    {"HideTB", &TSkiffData::HideTaskBar},
    {"MinimizeCB", &TSkiffData::DisableMinimize},
    {"ExplorerCB", &TSkiffData::DisableExplorer},
    {"DesktopCB", &TSkiffData::DisableDesktop},
    {"CloseCB", &TSkiffData::DisableClose},
    {"chkSingleLineTop", &TSkiffData::TextOnTop},
    {"chkVertBar", &TSkiffData::VertBarLineBreak},
    {"ShowInfoCB", &TSkiffData::ShowInfo},
    {"RootCB", &TSkiffData::ExpRoot},
    {"chkBlockShellKeys", &TSkiffData::BlockShellKeys},
};

const TOptionText kOptionTexts[3] = {
    {"edtBeforeSSCmd", &TSkiffData::BeforeScreenSaverCommand},
    {"edtBeforeSSParams", &TSkiffData::BeforeScreenSaverParameters},
    {"ExpStartDir", &TSkiffData::ExpStartDir},
};

const char* const kButtonSizeRadios[3] = {"rbMini", "rbSmall", "rbLarge"};

namespace {

int ItemOf(std::u16string_view code, std::u16string_view letter1, std::u16string_view letter2) {
  return code == letter1 ? 1 : code == letter2 ? 2 : 0;
}

}  // namespace

int DialogTypeItem(std::u16string_view code) { return ItemOf(code, u"Y", u"O"); }
std::u16string DialogTypeCode(int item) { return item == 2 ? u"O" : item == 1 ? u"Y" : u"N"; }
int WindowStateItem(std::u16string_view code) { return ItemOf(code, u"M", u"X"); }
std::u16string WindowStateCode(int item) { return item == 2 ? u"X" : item == 1 ? u"M" : u"N"; }

std::u16string CommandFolder(std::u16string_view command) {
  const std::size_t last = command.find_last_of(u"\\/:");
  return last == std::u16string_view::npos ? std::u16string() : std::u16string(command.substr(0, last + 1));
}

bool IsIconLocationFile(std::u16string_view fileName) {
  std::u16string ext(ExtractFileExt(fileName));
  for (char16_t& c : ext)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return ext == u".EXE" || ext == u".DLL" || ext == u".ICO";
}

std::u16string IconLocationFor(std::u16string_view fileName, int index) {
  if (!IsIconLocationFile(fileName)) return {};
  std::u16string location(fileName);
  location += u',';
  const std::string digits = std::to_string(index);
  location.append(digits.begin(), digits.end());
  return location;
}
