// The icon buttons as real windows in a real parent, driven by messages.
#include "win32/IconBitBtn.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "IconTestSupport.h"
#include "WindowTestSupport.h"

using namespace icontest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kFuchsia = RGB(255, 0, 255);


bool Contains(const TBitmap& b, COLORREF color) { return CountOther(b, color) < b.Width() * b.Height(); }

TBitmap Solid(TColor color, int width, int height) {
  TBitmap b;
  FillBitmap(b, color, width, height);
  return b;
}

bool IsSolid(const TBitmap& b, COLORREF color, int width, int height) {
  return b.Width() == width && b.Height() == height && CountOther(b, color) == 0;
}

TIconButtonProps Captioned(std::u16string caption, std::u16string hint = u"") {
  TIconButtonProps props;
  props.Caption = std::move(caption);
  props.Hint = std::move(hint);
  return props;
}

// Describes red.ico (a red square with a blue centre) on a glyph.
void RedIcon(TIconGlyph& g) {
  g.BeginUpdate();
  g.SetIconType(itFileIndex);
  g.SetFileName(DataFile(u"red.ico"));
  g.SetIconIndex(0);
  g.EndUpdate();
}

TEST(IconButtons, PictureAfterReadingFromAForm) {
  struct Case {
    const char* what;
    bool speed;
    bool useStoredIcon;
    bool keepsStored;
  };
  const Case cases[] = {
      {"tool button, stored icon", true, true, true},
      {"tool button, drawn icon", true, false, false},
      {"push button, stored icon", false, true, false},
      {"push button, drawn icon", false, false, false},
  };
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TIconButton> button;
    if (c.speed) button = std::make_unique<TIconSpeedBtn>();
    else button = std::make_unique<TIconBitBtn>();
    button->Create(parent.Get(), 1, {8, 8, 72, 82}, Captioned(u"Browse"), true);
    TBitmap stored = Solid(clAqua, 10, 10);
    stored.SetPixel(0, 9, kFuchsia);  // the transparent colour
    button->SetGlyph(stored);
    button->IconGlyph.SetUseStoredIcon(c.useStoredIcon);  // while reading: nothing is drawn
    button->IconGlyph.SetTransparentColor(clBtnFace);
    RedIcon(button->IconGlyph);
    button->IconGlyph.SetIconSize(isLarge);
    EXPECT_EQ(Pixels(button->Glyph()), Pixels(stored));
    button->Loaded();
    if (c.keepsStored) {
      EXPECT_EQ(Pixels(button->Glyph()), Pixels(stored));
      const TBitmap face = PrintClient(button->Handle());
      EXPECT_TRUE(Contains(face, RGB(0, 255, 255)));
      EXPECT_FALSE(Contains(face, kFuchsia));
      auto& speed = static_cast<TIconSpeedBtn&>(*button);
      speed.RefreshGlyph();
      EXPECT_TRUE(speed.IconGlyph.UseStoredIcon());
    }
    EXPECT_EQ(button->Glyph().Width(), 32);
    EXPECT_EQ(button->Glyph().Pixel(16, 16), kBlue);
    // Once read, every notifying write draws again.
    button->IconGlyph.SetIconSize(isSmall);
    EXPECT_EQ(button->Glyph().Width(), 16);
  }
}

TEST(IconButtons, WritingIconGlyph) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  TIconSpeedBtn button;
  button.Create(parent.Get(), 1, {8, 8, 40, 40}, {});
  button.SetGlyph(Solid(clAqua, 4, 4));
  button.SetIconGlyph(button.IconGlyph);  // its own: nothing happens
  EXPECT_TRUE(IsSolid(button.Glyph(), RGB(0, 255, 255), 4, 4));

  TImageList list;
  TIconGlyph other;
  RedIcon(other);
  other.SetTransparentColor(clFuchsia);
  other.SetImageListLarge(&list);
  other.SetImageListSmall(&list);
  button.SetIconGlyph(other);
  EXPECT_EQ(button.Glyph().Pixel(8, 8), kBlue);
  EXPECT_EQ(button.Glyph().Pixel(0, 0), kFuchsia);
  EXPECT_EQ(button.IconGlyph.FileName(), DataFile(u"red.ico"));
  EXPECT_EQ(button.IconGlyph.ImageListLarge(), nullptr);
  EXPECT_EQ(button.IconGlyph.ImageListSmall(), nullptr);
  EXPECT_EQ(other.OnChange, nullptr);  // the caller's glyph stays the caller's
}

// Which writes make a button draw its picture again: a redraw replaces a
// planted picture and leaves the window to be painted.
TEST(IconButtons, RedrawsOnlyForNotifyingWrites) {
  struct Case {
    const char* what;
    TIconType type;
    void (*write)(TIconGlyph&);
    bool redraws;
  };
  const Case cases[] = {
      {"FileName of a standard icon", itStandard, [](TIconGlyph& g) { g.SetFileName(u"C:\\other.ico"); }, false},
      {"FileName of a location", itFileInfo, [](TIconGlyph& g) { g.SetFileName(u"C:\\other.ico"); }, false},
      {"IconIndex of a file's default icon", itFileDefault, [](TIconGlyph& g) { g.SetIconIndex(5); }, false},
      {"the image list", itImageList, [](TIconGlyph& g) { g.SetImageListSmall(nullptr); }, false},
      {"IconSize", itStandard, [](TIconGlyph& g) { g.SetIconSize(isLarge); }, true},
      {"StandardIcon of a standard icon", itStandard, [](TIconGlyph& g) { g.SetStandardIcon(siHand); }, true},
      {"IconIndex of a file's icon", itFileIndex, [](TIconGlyph& g) { g.SetIconIndex(1); }, true},
      {"FileName of a file's icon", itFileIndex, [](TIconGlyph& g) { g.SetFileName(DataFile(u"seven.ico")); }, true},
      {"TransparentColor", itStandard, [](TIconGlyph& g) { g.SetTransparentColor(clRed); }, true},
  };
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  for (const Case& c : cases) {
    TIconBitBtn button;
    button.Create(parent.Get(), 1, {8, 8, 83, 33}, Captioned(u"Browse"));
    button.IconGlyph.BeginUpdate();
    button.IconGlyph.SetIconType(c.type);
    button.IconGlyph.SetStandardIcon(siQuestion);
    button.IconGlyph.SetFileName(DataFile(u"red.ico"));
    button.IconGlyph.SetFileInfo(DataFile(u"red.ico") + u",0");
    button.IconGlyph.EndUpdate();
    button.SetGlyph(Solid(clAqua, 3, 3));
    Pump();
    ValidateRect(button.Handle(), nullptr);
    c.write(button.IconGlyph);
    EXPECT_EQ(!IsSolid(button.Glyph(), RGB(0, 255, 255), 3, 3), c.redraws) << c.what;
    EXPECT_EQ(GetUpdateRect(button.Handle(), nullptr, FALSE) != FALSE, c.redraws) << c.what;
  }
}

TEST(IconButtons, AddedRowAndTransparentColourDoNotShow) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  TIconSpeedBtn button;
  button.Create(parent.Get(), 1, {7, 16, 71, 90}, {});
  button.IconGlyph.BeginUpdate();
  button.IconGlyph.SetUseStoredIcon(false);
  button.IconGlyph.SetIconSize(isLarge);
  button.IconGlyph.SetTransparentColor(clFuchsia);
  button.IconGlyph.SetColorProcessing(cpAddLine);
  RedIcon(button.IconGlyph);
  button.IconGlyph.EndUpdate();
  button.RefreshGlyph();
  ASSERT_EQ(button.Glyph().Width(), 32);
  ASSERT_EQ(button.Glyph().Height(), 33);
  for (int x = 0; x < 32; ++x) ASSERT_EQ(button.Glyph().Pixel(x, 32), kFuchsia);

  const TBitmap face = PrintClient(button.Handle());
  ASSERT_EQ(face.Width(), 64);
  EXPECT_FALSE(Contains(face, kFuchsia));
  const int left = (64 - 32) / 2, top = (74 - 33) / 2;
  EXPECT_EQ(face.Pixel(left + 16, top + 16), kBlue);
  EXPECT_EQ(face.Pixel(left + 5, top + 5), kRed);
  EXPECT_EQ(face.Pixel(left + 1, top + 1), GetSysColor(COLOR_BTNFACE));  // the icon's transparent border
  EXPECT_EQ(face.Pixel(left + 16, top + 32), GetSysColor(COLOR_BTNFACE));  // the added row

  button.SetEnabled(false);
  const TBitmap disabled = PrintClient(button.Handle());
  EXPECT_FALSE(Contains(disabled, kRed));
  EXPECT_FALSE(Contains(disabled, kBlue));
  EXPECT_EQ(disabled.Pixel(left + 16, top + 16), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(disabled.Pixel(left + 28, top + 28), GetSysColor(COLOR_BTNHIGHLIGHT));  // the emboss, one pixel off
}

TEST(IconButtons, AFailedDrawingReleasesTheWindowLock) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200), other(L"other", 20, 20, 200, 100);
  TIconBitBtn button;
  button.Create(parent.Get(), 1, {8, 8, 83, 33}, Captioned(u"Browse"));
  RedIcon(button.IconGlyph);
  button.IconGlyph.SetIconIndex(0);
  button.IconGlyph.SetIconType(itFileInfo);  // draws nothing yet: no location
  const std::vector<COLORREF> before = Pixels(button.Glyph());
  try {
    button.IconGlyph.SetFileInfo(u"C:\\My,Files\\app.exe,2");
    ADD_FAILURE() << "the bad location was drawn";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'Files\\app.exe,2' is not a valid integer value");
  }
  EXPECT_EQ(Pixels(button.Glyph()), before);
  EXPECT_TRUE(LockWindowUpdate(other.Get())) << "the parent is still locked";
  LockWindowUpdate(nullptr);

  // Someone else's lock is left alone.
  ASSERT_TRUE(LockWindowUpdate(other.Get()));
  button.IconGlyph.SetFileInfo(DataFile(u"red.ico") + u",0");
  EXPECT_EQ(button.Glyph().Pixel(8, 8), kBlue);
  EXPECT_FALSE(LockWindowUpdate(parent.Get())) << "the other window's lock was given back";
  LockWindowUpdate(nullptr);
}

// A face that cannot be drawn.
class TFailingFace : public TIconSpeedBtn {
 public:
  int Paints = 0;

 protected:
  void Paint(TBitmap&) override {
    ++Paints;
    throw Exception(std::string_view("Out of system resources"));
  }
};

TEST(IconButtons, AFailedPaintEndsThePaintAndIsReportedOnceAfterIt) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  TFailingFace button;
  button.Create(parent.Get(), 1, {8, 8, 40, 40}, {});
  std::vector<bool> paintEndedAtReport;
  button.OnException = [&](const std::exception&) {
    RECT update{};
    paintEndedAtReport.push_back(!GetUpdateRect(button.Handle(), &update, FALSE));
  };
  for (int paint = 1; paint <= 2; ++paint) {
    InvalidateRect(button.Handle(), nullptr, FALSE);
    UpdateWindow(button.Handle());
    Pump();
    EXPECT_EQ(button.Paints, paint) << "no repaint loop";
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(button.Handle(), &update, FALSE)) << "the paint was ended";
  }
  EXPECT_EQ(paintEndedAtReport, std::vector<bool>{true});
}

void MouseClick(HWND window, POINT up = {5, 5}) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(up.x, up.y));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
}

TEST(IconButtons, ToolButtonGroupsAndClicks) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  TIconSpeedBtn a, b, loose;
  TIconBitBtn push;
  int clicks[3] = {};
  TIconSpeedBtn* all[3] = {&a, &b, &loose};
  for (int i = 0; i < 3; ++i) {
    TIconButtonProps props;
    props.GroupIndex = i < 2 ? 1 : 0;
    props.Down = i != 1;  // a group of none cannot be down
    all[i]->Create(parent.Get(), 10 + i, {8 + 30 * i, 8, 33 + 30 * i, 33}, props);
    all[i]->OnClick = [&clicks, i] { ++clicks[i]; };
  }
  push.Create(parent.Get(), 20, {8, 40, 83, 65}, Captioned(u"Push"));
  EXPECT_TRUE(a.Down());
  EXPECT_FALSE(loose.Down());
  SetFocus(push.Handle());

  MouseClick(b.Handle());
  EXPECT_TRUE(b.Down());
  EXPECT_FALSE(a.Down());
  EXPECT_EQ(clicks[1], 1);
  MouseClick(b.Handle());  // stays down
  EXPECT_TRUE(b.Down());
  EXPECT_EQ(clicks[1], 2);
  MouseClick(a.Handle(), {-40, -40});  // released elsewhere: no click
  EXPECT_TRUE(b.Down());
  EXPECT_EQ(clicks[0], 0);
  EXPECT_EQ(SendMessageW(b.Handle(), BM_CLICK, 0, 0), 0);
  EXPECT_EQ(clicks[1], 3);
  EXPECT_EQ(SendMessageW(b.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  MouseClick(loose.Handle());
  EXPECT_EQ(clicks[2], 1);
  EXPECT_FALSE(loose.Down());
  EXPECT_EQ(GetFocus(), push.Handle()) << "a tool button took the focus";

  a.SetEnabled(false);
  SendMessageW(a.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks[0], 0);
  a.SetDown(true);  // set from code: the group follows too
  EXPECT_TRUE(a.Down());
  EXPECT_FALSE(b.Down());
}

TEST(IconButtons, PushButtonFocusKeysAndClicks) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  TIconBitBtn push;
  TIconSpeedBtn tool;
  int clicks = 0;
  push.Create(parent.Get(), 1, {8, 8, 83, 33}, Captioned(u"&Browse", u"Choose an icon"));
  tool.Create(parent.Get(), 2, {90, 8, 115, 33}, {});
  push.OnClick = [&] { ++clicks; };
  SetFocus(tool.Handle());  // refused or not, the push button takes it on a click
  MouseClick(push.Handle());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(GetFocus(), push.Handle());
  SendMessageW(push.Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(clicks, 1);
  SendMessageW(push.Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(clicks, 2);
  SendMessageW(push.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(SendMessageW(push.Handle(), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  SendMessageW(push.Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessageW(push.Handle(), WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  EXPECT_EQ(push.Caption(), u"&Browse");
  EXPECT_EQ(push.Hint(), u"Choose an icon");
  push.SetEnabled(false);
  SendMessageW(push.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 3);
}

TEST(IconButtons, AHandlersErrorStopsAtTheWindowProcedure) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  TIconBitBtn push;
  push.Create(parent.Get(), 1, {8, 8, 83, 33}, Captioned(u"Run"));
  push.OnClick = [] { throw EConvertError("'x' is not a valid integer value"); };
  std::string reported;
  push.OnException = [&](const std::exception& e) { reported = e.what(); };
  SendMessageW(push.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(reported, "'x' is not a valid integer value");
}

TEST(IconButtons, AWaitingPictureIsMadeOnceWhenPaintedOrAskedFor) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  TIconSpeedBtn shown, asked, replaced, failing;
  int made[4] = {};
  TIconSpeedBtn* buttons[4] = {&shown, &asked, &replaced, &failing};
  for (int i = 0; i < 4; ++i) {
    buttons[i]->Create(parent.Get(), i + 1, {8 + 40 * i, 8, 40 + 40 * i, 40}, {});
    buttons[i]->SetGlyphMaker([&, i] {
      ++made[i];
      if (i == 3) throw EConvertError("'y' is not a valid integer value");
      TBitmap picture = Solid(clBlue, 16, 16);
      picture.SetPixel(0, 15, kFuchsia);  // the transparent colour
      buttons[i]->SetGlyph(picture);
    });
  }
  std::string reported;
  failing.OnException = [&](const std::exception& e) { reported += e.what(); };
  replaced.SetGlyph(Solid(clRed, 8, 8));
  ShowWindow(asked.Handle(), SW_HIDE);
  UpdateWindow(parent.Get());
  Pump();
  EXPECT_EQ(made[0], 1);
  EXPECT_EQ(made[1], 0);  // not on the screen: not made yet
  EXPECT_EQ(made[2], 0);  // a picture set meanwhile took its place
  EXPECT_EQ(made[3], 1);  // a failing maker is reported once, and painting goes on
  EXPECT_EQ(reported, "'y' is not a valid integer value");
  EXPECT_EQ(asked.Glyph().Pixel(8, 8), kBlue);
  EXPECT_EQ(made[1], 1);
  InvalidateRect(parent.Get(), nullptr, TRUE);
  ShowWindow(asked.Handle(), SW_SHOW);
  UpdateWindow(parent.Get());
  Pump();
  EXPECT_EQ(shown.Glyph().Pixel(8, 8), kBlue);
  EXPECT_TRUE(IsSolid(replaced.Glyph(), kRed, 8, 8));
  EXPECT_EQ(made[0] + made[1] + made[2] + made[3], 3);
  EXPECT_TRUE(Contains(PrintClient(shown.Handle()), kBlue));
}

TEST(IconButtons, AHandlerMayFreeItsButton) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  for (const bool speed : {false, true}) {
    std::unique_ptr<TIconButton> button;
    if (speed) button = std::make_unique<TIconSpeedBtn>();
    else button = std::make_unique<TIconBitBtn>();
    button->Create(parent.Get(), 1, {8, 8, 83, 33}, Captioned(u"Close"));
    const HWND window = button->Handle();
    button->OnClick = [&] { button.reset(); };
    MouseClick(window);
    EXPECT_EQ(button, nullptr);
    EXPECT_FALSE(IsWindow(window));
  }
}

TEST(IconButtons, FlatToolButtonShowsItsBorderUnderTheMouse) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  TIconSpeedBtn flat, plain;
  TIconButtonProps props;
  props.Flat = true;
  flat.Create(parent.Get(), 1, {8, 8, 33, 33}, props);
  plain.Create(parent.Get(), 2, {40, 8, 65, 33}, {});
  const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(PrintClient(flat.Handle()).Pixel(0, 0), face);
  EXPECT_NE(PrintClient(plain.Handle()).Pixel(0, 0), face);
  SendMessageW(flat.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
  EXPECT_EQ(PrintClient(flat.Handle()).Pixel(0, 0), highlight);
  SendMessageW(flat.Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(PrintClient(flat.Handle()).Pixel(0, 0), face);
}

TEST(IconButtons, CreatingAndDestroyingLeaksNoObjects) {
  TestWindow parent(L"Icon buttons", 20, 20, 420, 200);
  auto round = [&] {
    for (int i = 0; i < 40; ++i) {
      TIconSpeedBtn tool;
      TIconBitBtn push;
      TIconButtonProps props = Captioned(u"Browse", u"A hint");
      props.GroupIndex = 1;
      props.Down = true;
      props.Flat = i % 2 == 0;
      tool.Create(parent.Get(), 1, {8, 8, 40, 40}, props);
      push.Create(parent.Get(), 2, {48, 8, 123, 33}, props);
      RedIcon(tool.IconGlyph);
      tool.IconGlyph.SetIconSize(isLarge);
      push.SetIconGlyph(tool.IconGlyph);
      UpdateWindow(parent.Get());
      PrintClient(tool.Handle());
      PrintClient(push.Handle());
      SendMessageW(tool.Handle(), WM_MOUSEMOVE, 0, 0);
    }
    Pump();
  };
  round();
  const int gdi = CountGuiObjects(GuiObjects::Gdi), user = CountGuiObjects(GuiObjects::User);
  for (int i = 0; i < 5; ++i) round();
  const int gdiAfter = CountGuiObjects(GuiObjects::Gdi), userAfter = CountGuiObjects(GuiObjects::User);
  std::printf("GUI objects after 400 buttons: GDI %d -> %d, USER %d -> %d\n", gdi, gdiAfter, user, userAfter);
  EXPECT_EQ(gdiAfter, gdi);
  EXPECT_EQ(userAfter, user);
}

// A row of each kind: enabled, disabled, flat, down. With
// DORVANE_SHOWCASE_MS set the window stays up that long, for a screenshot.
TEST(IconButtons, Showcase) {
  TestWindow parent(L"Dorvane icon buttons", 20, 20, 520, 190);
  std::vector<std::unique_ptr<TIconButton>> buttons;
  struct Tool {
    const char16_t* file;
    TIconSize size;
    bool enabled, flat, down;
  };
  const Tool tools[] = {
      {u"red.ico", isLarge, true, false, false},  {u"red.ico", isLarge, false, false, false},
      {u"seven.ico", isLarge, true, true, false}, {u"seven.ico", isLarge, false, true, false},
      {u"red.ico", isSmall, true, false, true},   {u"steps.ani", isLarge, true, true, false},
  };
  int x = 10;
  for (const Tool& t : tools) {
    auto b = std::make_unique<TIconSpeedBtn>();
    TIconButtonProps props;
    props.Enabled = t.enabled;
    props.Flat = t.flat;
    props.GroupIndex = t.down ? 2 : 0;
    props.Down = t.down;
    b->Create(parent.Get(), 1, {x, 10, x + 44, 54}, props);
    b->IconGlyph.BeginUpdate();
    b->IconGlyph.SetIconSize(t.size);
    b->IconGlyph.SetColorProcessing(cpAddLine);
    b->IconGlyph.EndUpdate();
    b->IconGlyph.SetIconType(itFileIndex);
    b->IconGlyph.SetFileName(DataFile(t.file));
    x += 50;
    buttons.push_back(std::move(b));
  }
  x = 10;
  const char16_t* captions[] = {u"Browse", u"Disabled", u"Default"};
  for (int i = 0; i < 3; ++i) {
    auto b = std::make_unique<TIconBitBtn>();
    TIconButtonProps props;
    props.Caption = captions[i];
    props.Enabled = i != 1;
    b->Create(parent.Get(), 1, {x, 70, x + 100, 100}, props);
    b->IconGlyph.SetColorProcessing(cpAddLine);
    b->IconGlyph.SetIconType(itStandard);
    b->IconGlyph.SetStandardIcon(i == 2 ? siComputer : siFolder);
    if (i == 2) SendMessageW(b->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    x += 110;
    buttons.push_back(std::move(b));
  }
  SetFocus(buttons.back()->Handle());
  UpdateWindow(parent.Get());
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const TBitmap face = PrintClient(buttons[i]->Handle());
    const bool enabled = buttons[i]->Enabled();
    EXPECT_GT(buttons[i]->Glyph().Width(), 0) << i;
    if (i < 6) {
      EXPECT_EQ(Contains(face, kRed), enabled) << "tool button " << i;
    }
  }
  if (const char* ms = std::getenv("DORVANE_SHOWCASE_MS")) {
    const DWORD until = GetTickCount() + static_cast<DWORD>(std::atoi(ms));
    while (GetTickCount() < until) {
      Pump();
      Sleep(20);
    }
  }
}

}  // namespace
