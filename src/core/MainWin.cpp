#include "core/MainWin.h"

#include <algorithm>
#include <string>

#include "core/TextCodec.h"
#include "core/filedrag.h"
#include "core/WinSupport.h"

bool CanLockWorkstation(const TOsVersion& v) { return v.NtFamily && v.Major >= 5; }

bool DesktopToggleBlocked(const TOsVersion& v) { return v.NtFamily && v.Major >= 5 && v.Minor >= 1; }

TActionStates ActionStatesFor(const TSkiffData& settings, const TOsVersion& v) {
  TActionStates s;
  s.ExplorerEnabled = !settings.DisableExplorer;
  s.DesktopEnabled = !settings.DisableDesktop;
  s.LockVisible = CanLockWorkstation(v);
  s.RightToolBarWidth = s.LockVisible ? 46 : 23;
  s.DesktopButtonVisible = !DesktopToggleBlocked(v);
  return s;
}

TDesktopLook DesktopActionLook(bool desktopHidden) {
  if (desktopHidden) return {1, u"Show the Desktop Icons"};
  return {0, u"Hide the Desktop Icons"};
}

int ShownBtnSize(int btnSize) { return btnSize >= 0 && btnSize <= 2 ? btnSize : 2; }

TButtonSize ButtonSizeFor(int btnSize) {
  switch (ShownBtnSize(btnSize)) {
    case 0: return {21, 22, 82};
    case 1: return {36, 37, 97};
    default: return {64, 74, 135};
  }
}

std::u16string ExplorerParameters(const TSkiffData& settings) {
  std::u16string p = u"/e,";
  if (settings.ExpRoot) p += u"/root,";
  return p + u" \"" + settings.ExpStartDir + u"\"";
}

// ------------------------------------------------------------------ tabs

int GroupIndexOfTab(int tab, bool showInfo) { return showInfo ? tab - 1 : tab; }

int CurrentTabRow(int selectedTab, bool showInfo) { return showInfo ? selectedTab : selectedTab + 1; }

TTabRow* TabRowOf(TTabInfo& tabInfo, int selectedTab, bool showInfo) {
  const int row = CurrentTabRow(selectedTab, showInfo);
  if (row < 0 || row >= static_cast<int>(tabInfo.size())) return nullptr;
  return &tabInfo[row];
}

TRowContent RowContentOf(const TSkiffData& settings, int tab) {
  TRowContent content;
  if (settings.ShowInfo && tab == 0) {
    content.Drives = true;
  } else {
    const int group = GroupIndexOfTab(tab, settings.ShowInfo);
    if (group >= 0 && group < settings.Groups.Count()) content.Group = group;
  }
  return content;
}

int DropGroup(TSkiffData& settings, int selectedTab) {
  if (settings.Groups.Count() == 0) {
    settings.Groups.Add().Name = kFirstGroupName;
    return 0;
  }
  return RowContentOf(settings, selectedTab).Group;
}

TTabsLayout BuildTabs(const TSkiffData& settings, int tab) {
  TTabsLayout layout;
  const int groups = settings.Groups.Count();
  if (settings.ShowInfo) layout.Captions.emplace_back(kInfoTabCaption);
  layout.TabInfo.resize(groups + 1);
  if (settings.ShowInfo) layout.TabInfo[0].Count = static_cast<int>(settings.Drives.size());
  for (int g = 0; g < groups; ++g) {
    layout.Captions.push_back(settings.Groups[g].Name);
    layout.TabInfo[g + 1].Count = settings.Groups[g].Apps.Count();
  }
  // A rebuild after groups were deleted may ask for a tab that is gone.
  const int tabs = static_cast<int>(layout.Captions.size());
  layout.SelectedTab = tabs == 0 ? -1 : std::clamp(tab, 0, tabs - 1);
  layout.Fill = RowContentOf(settings, layout.SelectedTab);
  return layout;
}

int StartTab(const TSkiffData& settings) { return settings.ShowInfo && settings.Groups.Count() > 0 ? 1 : 0; }

int TabOfGroupNamed(const TSkiffData& settings, std::u16string_view name) {
  for (int g = 0; g < settings.Groups.Count() && !name.empty(); ++g)
    if (settings.Groups[g].Name == name) return g + (settings.ShowInfo ? 1 : 0);
  return StartTab(settings);
}

TSliderLook UpdateSlider(TTabRow& row, int buttonWidth, int tabControlWidth) {
  TSliderLook slider;
  if (buttonWidth > 0) {
    const int width = std::max(tabControlWidth, 0);  // a minimised window reports nothing sensible
    slider.Visible = static_cast<long long>(row.Count) * buttonWidth > width;
    if (slider.Visible) slider.Max = row.Count - width / buttonWidth;
  }
  if (!slider.Visible) row.Position = 0;
  return slider;
}

std::u16string AccessibleTitle(std::u16string_view title, bool vertBarLineBreak) {
  std::u16string name;
  for (const char16_t c : title) {
    const bool lineBreak = c == u'\r' || c == u'\n' || (vertBarLineBreak && c == u'|');
    if (!lineBreak) name += c;
    else if (!name.empty() && name.back() != u' ') name += u' ';
  }
  return name;
}

int RowKeyTarget(TRowKey key, int focused, int count) {
  if (count <= 0) return -1;
  switch (key) {
    case TRowKey::rkPrevious: return focused < 0 ? 0 : std::max(focused - 1, 0);
    case TRowKey::rkNext: return focused < 0 ? 0 : std::min(focused + 1, count - 1);
    case TRowKey::rkFirst: return 0;
    case TRowKey::rkLast: return count - 1;
  }
  return -1;
}

int PositionShowing(int index, int position, int perPage, const TSliderLook& slider) {
  if (!slider.Visible) return 0;
  perPage = std::max(perPage, 1);
  if (index < position) position = index;
  else if (index >= position + perPage) position = index - perPage + 1;
  return std::clamp(position, 0, slider.Max);
}

int NextTab(int selected, int count, bool forward) {
  if (count <= 0) return -1;
  if (selected < 0) return forward ? 0 : count - 1;
  return (selected + (forward ? 1 : count - 1)) % count;
}

int RememberedPosition(const TTabRow& row, const TSliderLook& slider) {
  // The window may have grown since the tab was last shown.
  return slider.Visible ? std::clamp(row.Position, 0, slider.Max) : 0;
}

int ProgramSliderChange(TTabRow& row, int position, int buttonWidth) {
  row.Position = position;
  return -(position * buttonWidth);
}

// ----------------------------------------------------------------- press

void ProgramBtnClick(TPressHost& host, const TSkiffData& settings, int selectedTab, int buttonTag) {
  if (host.ButtonBusy()) return;
  // Armed first, so that presses ending in a message are guarded as well.
  if (settings.DoubleClickTime > 0) host.ArmBusyGuard();

  if (settings.ShowInfo && selectedTab == 0) {
    host.ShowMessage(kInfoPrefix + Widen(std::to_string(buttonTag)), TMessageKind::mkPlain);
    return;
  }

  const int group = GroupIndexOfTab(selectedTab, settings.ShowInfo);
  if (group < 0 || group >= settings.Groups.Count()) return;
  const TAppCollection& apps = settings.Groups[group].Apps;
  if (buttonTag < 0 || buttonTag >= apps.Count()) return;
  // A copy: the settings may be edited while the confirmation box is open
  // (the tray menu still works), and the entry with them.
  const TAppItem& item = apps[buttonTag];
  const std::u16string command = item.Command, parameters = item.Parameters, folder = item.Directory;
  const int showCommand = ShowCommandFor(item.WindowState);
  const TConfirmation confirmation = ConfirmationFor(item.DialogType);
  const std::u16string question = item.DialogText;
  const bool minimize = item.MinimizeOnRun, ignoreAccessDenied = item.IgnoreAccessDenied;

  if (command.empty()) {
    host.ShowMessage(kNoProgramToRun, TMessageKind::mkWarning);
    return;
  }
  if (confirmation == TConfirmation::cfYesNo && !host.ShowMessage(question, TMessageKind::mkConfirmation)) return;
  if (confirmation == TConfirmation::cfOkCancel && !host.ShowMessage(question, TMessageKind::mkInformation)) return;

  // Before the shell call: the window stays down even when running fails.
  if (minimize) host.MinimizeApplication();

  const int result = host.RunProgram(command, parameters, folder, showCommand);
  if (result == kShellAccessDenied && ignoreAccessDenied) return;
  if (result <= kShellLastError)
    host.ShowMessage(CannotRunMessage(result, command, folder, !folder.empty() && !host.FolderExists(folder)),
                     TMessageKind::mkWarning);
}

std::u16string CannotRunMessage(int result, std::u16string_view command, std::u16string_view folder,
                                bool folderMissing) {
  std::u16string text = kCannotRunProgram + ShellResultText(result) + u"\n" + std::u16string(command);
  if (folderMissing) text += u"\n" + std::u16string(kStartDirectoryLine) + std::u16string(folder);
  return text;
}
