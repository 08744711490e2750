#include "core/SettingsCheck.h"

#include <algorithm>

#include "core/Errors.h"
#include "core/MainWin.h"
#include "core/TextCodec.h"
#include "core/WinSupport.h"

namespace {

std::u16string Number(int value) { return Widen(std::to_string(value)); }

class TChecker {
 public:
  TChecker(const TSettingsPlaces& places) : FPlaces(places) {}
  void Warn(const void* at, std::u16string text) {
    const auto found = FPlaces.find(at);
    Warnings.push_back({found == FPlaces.end() ? TTextPlace{} : found->second, std::move(text)});
  }
  std::vector<TSettingsWarning> Warnings;

 private:
  const TSettingsPlaces& FPlaces;
};

void CheckEntry(TChecker& check, const TAppItem& app) {
  const std::u16string title = u"Entry '" + app.Title + u"'";
  if (app.Command.empty())
    check.Warn(&app, title + u" has no command: its button only says \"" + kNoProgramToRun + u"\"");
  if (!(app.WindowState.empty() || app.WindowState == u"N" || app.WindowState == u"M" || app.WindowState == u"X")) {
    const int show = ShowCommandFor(app.WindowState);
    const char16_t* runs = show == kSwMinimize ? u"minimised" : show == kSwMaximize ? u"maximised" : u"normal";
    check.Warn(&app.WindowState,
               u"WindowState '" + app.WindowState + u"' is not N, M or X: the program runs " + runs);
  }
  if (!(app.DialogType.empty() || app.DialogType == u"N" || ConfirmationFor(app.DialogType) != TConfirmation::cfNone))
    check.Warn(&app.DialogType, u"DialogType '" + app.DialogType + u"' is not N, Y or O: nothing is asked before " +
                                    u"the program runs");
}

}  // namespace

std::vector<TSettingsWarning> SettingsWarnings(const TSkiffData& data, const TSettingsPlaces& places) {
  TChecker check(places);
  if (ShownBtnSize(data.BtnSize) != data.BtnSize)
    check.Warn(&data.BtnSize, u"BtnSize " + Number(data.BtnSize) +
                                  u" is not a button size (0 Mini, 1 Small, 2 Large): buttons are shown Large");
  if (data.DoubleClickTime < 0)
    check.Warn(&data.DoubleClickTime, u"DoubleClickTime " + Number(data.DoubleClickTime) +
                                          u" is negative: a second press is not held back");
  for (int g = 0; g < data.Groups.Count(); ++g) {
    const TGroupItem& group = data.Groups[g];
    if (group.Name.empty()) check.Warn(&group, u"A group without a name shows a blank tab");
    for (int earlier = 0; earlier < g && !group.Name.empty(); ++earlier)
      if (data.Groups[earlier].Name == group.Name) {
        check.Warn(&group.Name, u"Group name '" + group.Name + u"' is used twice: the tabs look the same");
        break;
      }
    for (int a = 0; a < group.Apps.Count(); ++a) CheckEntry(check, group.Apps[a]);
  }
  std::stable_sort(check.Warnings.begin(), check.Warnings.end(), [](const auto& x, const auto& y) {
    return std::pair(x.Place.Line, x.Place.Column) < std::pair(y.Place.Line, y.Place.Column);
  });
  return std::move(check.Warnings);
}
