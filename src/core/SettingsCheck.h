// What `dorvane-settings check` says about a settings file that loads but
// holds values the program cannot use as written.
#pragma once

#include <string>
#include <vector>

#include "core/DataClasses.h"
#include "core/uCompStream.h"

struct TSettingsWarning {
  TTextPlace Place;  // 0:0 when the value did not come from the file
  std::u16string Text;
};

// The warnings in file order: a button size outside 0 to 2, window state and
// dialog type codes the program does not know, a negative repeat-press time,
// an empty or repeated group name, an entry without a command. Each says
// what the program will do. `places` is what the reader recorded.
std::vector<TSettingsWarning> SettingsWarnings(const TSkiffData& data, const TSettingsPlaces& places);
