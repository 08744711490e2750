#include "core/TrayIcon.h"

#include <gtest/gtest.h>

#include "core/TextCodec.h"

namespace {

using enum TTrayAction;
using enum TMouseButton;
using M = TTrayMouse;

TEST(TrayIcon, TipIsCutTo63UnitsWithoutSplittingAPair) {
  const std::u16string hundred(100, u'h');
  const std::u16string pairAtCut = std::u16string(62, u'a') + u"\U0001F600" + u"zz";  // pair in units 63 and 64
  const std::u16string pairBeforeCut = std::u16string(61, u'a') + u"\U0001F600" + u"zz";
  struct Case {
    std::u16string hint, tip;
  };
  const Case cases[] = {
      {u"", u""},
      {u"Quorvel Dorvane", u"Quorvel Dorvane"},
      {std::u16string(63, u'x'), std::u16string(63, u'x')},
      {std::u16string(64, u'x'), std::u16string(63, u'x')},
      {hundred, hundred.substr(0, 63)},
      {pairAtCut, std::u16string(62, u'a')},
      {pairBeforeCut, std::u16string(61, u'a') + u"\U0001F600"},
      {u"\u4e2d\u6587 \U0001F600", u"\u4e2d\u6587 \U0001F600"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.hint));
    const std::u16string tip = TrayTip(c.hint);
    EXPECT_EQ(Utf16ToUtf8(tip), Utf16ToUtf8(c.tip));
    EXPECT_LE(tip.size(), kTrayTipLength);
  }
}

// The shell's messages one after another, and the events each one gives.
TEST(TrayIcon, MouseMessagesGiveEventsInOrder) {
  struct Case {
    const char* name;
    std::vector<unsigned> messages;
    std::vector<TTrayStep> events;
  };
  const Case cases[] = {
      {"left click",
       {M::kLButtonDown, M::kLButtonUp},
       {{taMouseDown, mbLeft}, {taClick, mbLeft}, {taMouseUp, mbLeft}}},
      // Press, release, double click, release: one click only.
      {"left double click",
       {M::kLButtonDown, M::kLButtonUp, M::kLButtonDblClk, M::kLButtonUp},
       {{taMouseDown, mbLeft}, {taClick, mbLeft}, {taMouseUp, mbLeft}, {taDblClick, mbLeft}, {taMouseUp, mbLeft}}},
      {"two separate clicks",
       {M::kLButtonDown, M::kLButtonUp, M::kLButtonDown, M::kLButtonUp},
       {{taMouseDown, mbLeft}, {taClick, mbLeft}, {taMouseUp, mbLeft}, {taMouseDown, mbLeft}, {taClick, mbLeft},
        {taMouseUp, mbLeft}}},
      // A press made elsewhere and released over the icon is no click.
      {"release without press", {M::kLButtonUp}, {{taMouseUp, mbLeft}}},
      {"right click opens the menu on the press",
       {M::kRButtonDown, M::kRButtonUp},
       {{taMouseDown, mbRight}, {taPopup, mbRight}, {taMouseUp, mbRight}}},
      {"right and middle double clicks",
       {M::kRButtonDblClk, M::kMButtonDblClk},
       {{taDblClick, mbLeft}, {taDblClick, mbLeft}}},
      {"middle click is no click",
       {M::kMButtonDown, M::kMButtonUp},
       {{taMouseDown, mbMiddle}, {taMouseUp, mbMiddle}}},
      // A right press between left press and release does not lose the click.
      {"left press, right click, left release",
       {M::kLButtonDown, M::kRButtonDown, M::kRButtonUp, M::kLButtonUp},
       {{taMouseDown, mbLeft}, {taMouseDown, mbRight}, {taPopup, mbRight}, {taMouseUp, mbRight}, {taClick, mbLeft},
        {taMouseUp, mbLeft}}},
      {"move", {M::kMouseMove}, {{taMouseMove, mbLeft}}},
      // Codes the icon does not handle (key and balloon notices, 0).
      {"other codes", {0x100, 0x402, 0x405, 0}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTrayMouse mouse;
    std::vector<TTrayStep> got;
    for (unsigned m : c.messages)
      for (const TTrayStep& s : mouse.Translate(m)) got.push_back(s);
    ASSERT_EQ(got.size(), c.events.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(static_cast<int>(got[i].Action), static_cast<int>(c.events[i].Action)) << "event " << i;
      EXPECT_EQ(static_cast<int>(got[i].Button), static_cast<int>(c.events[i].Button)) << "event " << i;
    }
  }
}

}  // namespace
