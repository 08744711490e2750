#include "core/ShellKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr unsigned kTab = 0x09, kEscape = 0x1B, kLeftWin = 0x5B, kRightWin = 0x5C, kR = 'R', kD = 'D', kF4 = 0x73;

struct Key {
  unsigned key;
  bool up, ctrl, alt;
  bool swallowed;
};

TEST(ShellKeys, SwallowsTheShellsKeysAndNothingElse) {
  struct Case {
    const char* name;
    std::vector<Key> keys;  // in order, through one filter
  };
  const Case cases[] = {
      {"Win alone (Start)", {{kLeftWin, false, false, false, true}, {kLeftWin, true, false, false, true}}},
      {"Win+R (Run), right key",
       {{kRightWin, false, false, false, true}, {kR, false, false, false, true}, {kR, true, false, false, true},
        {kRightWin, true, false, false, true}}},
      {"Win+D, Win let go first",
       {{kLeftWin, false, false, false, true}, {kD, false, false, false, true}, {kLeftWin, true, false, false, true},
        {kD, true, false, false, false}, {kR, false, false, false, false}}},
      {"one Win key let go while the other is held",
       {{kLeftWin, false, false, false, true}, {kRightWin, false, false, false, true},
        {kRightWin, true, false, false, true}, {kR, false, false, false, true}, {kLeftWin, true, false, false, true},
        {kR, false, false, false, false}}},
      {"Ctrl+Esc, Ctrl+Shift+Esc, Alt+Esc, either way",
       {{kEscape, false, true, false, true}, {kEscape, true, true, false, true}, {kEscape, false, false, true, true},
        {kEscape, true, false, true, true}}},
      {"Esc, Alt+Tab, Alt+F4, Ctrl+R pass",
       {{kEscape, false, false, false, false}, {kTab, false, false, true, false}, {kF4, false, false, true, false},
        {kR, false, true, false, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TShellKeyFilter filter;
    for (std::size_t i = 0; i < c.keys.size(); ++i) {
      const Key& k = c.keys[i];
      EXPECT_EQ(filter.Swallow(k.key, k.up, k.ctrl, k.alt), k.swallowed) << "key " << i;
    }
  }
}

}  // namespace
