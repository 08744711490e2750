#include "core/ConfigWin.h"

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

const TOptionCheck kOptionChecks[12] = {
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
};

const TOptionText kOptionTexts[3] = {
    {"edtBeforeSSCmd", &TSkiffData::BeforeScreenSaverCommand},
    {"edtBeforeSSParams", &TSkiffData::BeforeScreenSaverParameters},
    {"ExpStartDir", &TSkiffData::ExpStartDir},
};

const char* const kButtonSizeRadios[3] = {"rbMini", "rbSmall", "rbLarge"};
