// The configuration dialog made in this process over a settings object and
// driven the way a user drives it: keys through the dialog's own key
// handling, drops, the menu's commands, its message boxes answered.
#include "win32/ConfigWin.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "IconTestSupport.h"
#include "WindowTestSupport.h"
#include "win32/DataClasses.h"
#include "win32/IconGlyphPickEdt.h"

namespace {

struct Group {
  std::u16string Name;
  std::vector<std::u16string> Apps;
};

void Fill(TSkiffData& settings, const std::vector<Group>& groups) {
  for (const Group& g : groups) {
    TGroupItem& group = settings.Groups.Add();
    group.Name = g.Name;
    for (const std::u16string& title : g.Apps) {
      TAppItem& app = group.Apps.Add();
      app.Title = title;
      app.Command = u"C:\\" + title + u".exe";
    }
  }
}

// The settings as "A: a1 a2 | B: b1".
std::u16string Describe(const TSkiffData& settings) {
  std::u16string out;
  for (int g = 0; g < settings.Groups.Count(); ++g) {
    if (g) out += u" | ";
    out += settings.Groups[g].Name + u":";
    for (int a = 0; a < settings.Groups[g].Apps.Count(); ++a) out += u" " + settings.Groups[g].Apps[a].Title;
  }
  return out;
}

class ConfigDialog : public testing::Test {
 protected:
  TApplication app{GetModuleHandleW(nullptr)};
  TSkiffData settings;
  TestWindow owner{L"owner", 0, 0, 200, 100};
  std::unique_ptr<TConfigForm> form;
  std::vector<std::u16string> boxes;
  int answer = IDYES;

  void SetUp() override {
    app.MessageBoxProc = [this](HWND, const std::u16string& text, const std::u16string& caption, UINT type) {
      boxes.push_back(caption + u": " + text + (type & MB_ICONQUESTION ? u" (?)" : u""));
      return answer;
    };
  }
  void TearDown() override {
    form.reset();
    Pump();
  }

  TConfigForm& Open(const std::vector<Group>& groups) {
    Fill(settings, groups);
    form = std::make_unique<TConfigForm>(app, settings);
    form->Create(owner.Get());
    form->LoadOptions(settings);
    ShowWindow(form->Handle(), SW_SHOW);
    Keys();
    return *form;
  }

  // Runs what is queued the way the dialog's modal loop would.
  void Keys() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!form->ProcessDialogMessage(msg)) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
      }
      Sleep(10);
    }
  }
  void Key(HWND to, WPARAM key) {
    PostMessageW(to, WM_KEYDOWN, key, 1);
    PostMessageW(to, WM_KEYUP, key, 0xC0000001);
    Keys();
  }
  // Lets the tree's selection settle (its 50 ms delay).
  void Settle() {
    for (int i = 0; i < 10; ++i) {
      Sleep(15);
      Keys();
    }
  }

  HWND Tree() const { return form->Tree(); }
  // The node of a group by position, or of its entry.
  HTREEITEM Node(int group, int app = -1) const {
    HTREEITEM node = TreeView_GetRoot(Tree());
    for (int i = 0; i < group && node; ++i) node = TreeView_GetNextSibling(Tree(), node);
    if (app < 0 || !node) return node;
    node = TreeView_GetChild(Tree(), node);
    for (int i = 0; i < app && node; ++i) node = TreeView_GetNextSibling(Tree(), node);
    return node;
  }
  std::u16string TreeText() const {
    std::u16string out;
    for (HTREEITEM g = TreeView_GetRoot(Tree()); g; g = TreeView_GetNextSibling(Tree(), g)) {
      if (!out.empty()) out += u" | ";
      out += form->NodeText(g) + u":";
      for (HTREEITEM a = TreeView_GetChild(Tree(), g); a; a = TreeView_GetNextSibling(Tree(), a))
        out += u" " + form->NodeText(a);
    }
    return out;
  }
  std::wstring Status() const {
    wchar_t text[256] = {};
    SendMessageW(form->Control("sbrMain"), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return text;
  }
  void Drop(HTREEITEM dragged, HTREEITEM target) {
    form->Drag.Start(dragged);
    form->Drag.DropOn(target);
    form->Drag.Finish();
  }
  bool Visible(const char* name) const { return IsWindowVisible(form->Control(name)) != FALSE; }
};

TEST_F(ConfigDialog, ShownEmptyAndShownWithGroups) {
  TConfigForm& f = Open({});
  EXPECT_EQ(TreeView_GetCount(Tree()), 0u);
  EXPECT_FALSE(Visible("pnlApps"));
  EXPECT_FALSE(f.actDeleteGroup->Enabled() || f.actDeleteItem->Enabled() || f.actAddItem->Enabled());
  EXPECT_FALSE(Visible("ShowInfoCB"));

  // Add Group twice: two more "New Group"s at the end, in both places, none selected.
  f.actMain.Execute(f.actAddGroup->Id);
  f.actMain.Execute(f.actAddGroup->Id);
  EXPECT_EQ(TreeText(), u"New Group: | New Group:");
  EXPECT_EQ(Describe(settings), u"New Group: | New Group:");
  EXPECT_EQ(TreeView_GetSelection(Tree()), nullptr);
  EXPECT_TRUE(f.DataChanged);
}

TEST_F(ConfigDialog, FirstGroupSelectedAndAnEntryOpensTheEditor) {
  TConfigForm& f = Open({{u"A", {u"a1"}}, {u"B", {u"b1", u"b2"}}});
  EXPECT_EQ(TreeView_GetSelection(Tree()), Node(0));
  EXPECT_EQ(TabCtrl_GetCurSel(f.Control("PageControl")), 0);
  EXPECT_TRUE(Visible("AppTab"));
  EXPECT_FALSE(Visible("OptionsTab"));
  EXPECT_EQ(f.CurrentGroup, &settings.Groups[0]);
  EXPECT_TRUE(f.actDeleteGroup->Enabled() && !f.actDeleteItem->Enabled());

  TreeView_SelectItem(Tree(), Node(1, 1));
  EXPECT_EQ(f.CurrentApp, nullptr);  // not before the selection has settled
  Settle();
  EXPECT_EQ(f.CurrentApp, &settings.Groups[1].Apps[1]);
  EXPECT_EQ(f.AppIndex, 1);
  EXPECT_EQ(f.GroupIndex, 1);
  EXPECT_TRUE(Visible("pnlApps"));
  EXPECT_TRUE(f.actDeleteItem->Enabled() && !f.actDeleteGroup->Enabled());
  EXPECT_FALSE(f.DataChanged || f.OptionsChanged);
}

TEST_F(ConfigDialog, DragAndDropReordersOnlyWhatTheTableSays) {
  TConfigForm& f = Open({{u"A", {u"a1", u"a2"}}, {u"B", {u"b1"}}, {u"C", {}}});
  struct Case {
    const char* What;
    int DragGroup, DragApp, TargetGroup, TargetApp;
    std::u16string Tree;
    bool Refused;
  };
  const Case cases[] = {
      {"a node on itself", 0, 0, 0, 0, u"A: a1 a2 | B: b1 | C:", false},
      {"an entry before an entry of another group", 0, 0, 1, 0, u"A: a2 | B: a1 b1 | C:", false},
      {"an entry on its own group goes to the end", 1, 0, 1, -1, u"A: a2 | B: b1 a1 | C:", false},
      {"the last group on the first goes first", 2, -1, 0, -1, u"C: | A: a2 | B: b1 a1", false},
      {"a group on an entry is refused", 1, -1, 2, 0, u"C: | A: a2 | B: b1 a1", true},
      {"a group on its own entry is refused", 2, -1, 2, 0, u"C: | A: a2 | B: b1 a1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    boxes.clear();
    const HTREEITEM dragged = Node(c.DragGroup, c.DragApp);
    form->Drag.Start(dragged);
    EXPECT_EQ(U16(Status()), f.NodeText(dragged));
    form->Drag.DropOn(Node(c.TargetGroup, c.TargetApp));
    form->Drag.Finish();
    EXPECT_EQ(Status(), L"");
    EXPECT_EQ(TreeText(), c.Tree);
    EXPECT_EQ(boxes, c.Refused ? std::vector<std::u16string>{u"Quorvel Dorvane: Must drop a group onto another group"}
                               : std::vector<std::u16string>{});
  }
  // Only the tree moved; StoreTree brings the settings to its order.
  EXPECT_EQ(Describe(settings), u"A: a1 a2 | B: b1 | C:");
  EXPECT_TRUE(f.DataChanged);
  f.StoreTree(settings);
  EXPECT_EQ(Describe(settings), u"C: | A: a2 | B: b1 a1");
  EXPECT_EQ(settings.Groups[2].Apps[1].Command, u"C:\\a1.exe");
}

// The mouse itself, as SendInput moves it over the screen.
void MouseTo(POINT at, DWORD flags = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
  SendInput(1, &input, sizeof input);
}

struct MousePath {
  POINT From, To;
};

// A press at From, a move in steps to To and the release there.
DWORD WINAPI MoveTheMouse(void* parameter) {
  const MousePath& path = *static_cast<MousePath*>(parameter);
  MouseTo(path.From);
  Sleep(50);
  MouseTo(path.From, MOUSEEVENTF_LEFTDOWN);
  for (int step = 1; step <= 10; ++step) {
    Sleep(30);
    MouseTo({path.From.x + (path.To.x - path.From.x) * step / 10, path.From.y + (path.To.y - path.From.y) * step / 10});
  }
  Sleep(50);
  MouseTo(path.To, MOUSEEVENTF_LEFTUP);
  Sleep(50);
  return 0;
}

TEST_F(ConfigDialog, AMouseDragMovesAnEntryAndTheTrashDeletesIt) {
  TConfigForm& f = Open({{u"A", {u"a1", u"a2"}}, {u"B", {u"b1"}}});
  SetForegroundWindow(f.Handle());
  TreeView_Expand(Tree(), Node(0), TVE_EXPAND);
  TreeView_Expand(Tree(), Node(1), TVE_EXPAND);
  Keys();
  auto centre = [&](HTREEITEM node) {
    RECT r{};
    TreeView_GetItemRect(Tree(), node, &r, TRUE);
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(Tree(), &at);
    return at;
  };
  // The mouse moves on a thread of its own, as a hand would, while this
  // one runs the dialog (the tree waits for the drag inside its own loop).
  auto drag = [&](POINT from, POINT to) {
    MousePath path{from, to};
    UniqueHandle hand(CreateThread(nullptr, 0, MoveTheMouse, &path, 0, nullptr));
    while (WaitForSingleObject(hand.Get(), 0) == WAIT_TIMEOUT) Keys();
    Keys();
  };
  drag(centre(Node(0, 0)), centre(Node(1, 0)));
  EXPECT_EQ(TreeText(), u"A: a2 | B: a1 b1");
  EXPECT_EQ(Status(), L"");

  RECT trash{};
  GetWindowRect(f.Control("imgTrash"), &trash);
  drag(centre(Node(0, 0)), {(trash.left + trash.right) / 2, (trash.top + trash.bottom) / 2});
  EXPECT_EQ(boxes, std::vector<std::u16string>{u"Confirm: Are you sure you want to delete the application \"a2\"? (?)"});
  EXPECT_EQ(TreeText(), u"A: | B: a1 b1");
}

TEST_F(ConfigDialog, RenameAndEditActOnTheNodesOwnObject) {
  // Two groups of the same name, and an entry dragged into the second one:
  // a search by name would find the first group and the old place.
  TConfigForm& f = Open({{u"Same", {u"x"}}, {u"Same", {u"x"}}});
  Drop(Node(0, 0), Node(1, -1));
  EXPECT_EQ(TreeText(), u"Same: | Same: x x");
  TreeView_SelectItem(Tree(), Node(1, 1));  // the one that came from the first group
  Settle();
  EXPECT_EQ(f.CurrentApp, &settings.Groups[0].Apps[0]);
  EXPECT_EQ(f.AppIndex, -1);  // not (yet) in the group it is shown under

  Key(Tree(), VK_F2);
  const HWND editor = TreeView_GetEditControl(Tree());
  ASSERT_TRUE(editor);
  SetWindowTextW(editor, L"moved");
  Key(editor, VK_RETURN);
  EXPECT_EQ(TreeView_GetEditControl(Tree()), nullptr);
  EXPECT_EQ(settings.Groups[0].Apps[0].Title, u"moved");
  EXPECT_EQ(settings.Groups[1].Apps[0].Title, u"x");
  EXPECT_EQ(f.ModalResult, 0);  // Enter ended the edit, not the dialog

  TreeView_SelectItem(Tree(), Node(1));
  Settle();
  f.tvAppsEdited(Node(1), u"");  // any text, the empty one too
  EXPECT_EQ(settings.Groups[1].Name, u"");
  EXPECT_EQ(settings.Groups[0].Name, u"Same");
}

TEST_F(ConfigDialog, DeletingAsksAndSelectsTheNeighbour) {
  TConfigForm& f = Open({{u"A", {u"only"}}, {u"B", {u"b1"}}});
  answer = IDNO;
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  Key(Tree(), VK_DELETE);
  EXPECT_EQ(boxes, std::vector<std::u16string>{u"Confirm: Are you sure you want to delete the application \"only\"? (?)"});
  EXPECT_EQ(Describe(settings), u"A: only | B: b1");
  EXPECT_FALSE(f.DataChanged);

  answer = IDYES;
  Key(Tree(), VK_DELETE);
  EXPECT_EQ(Describe(settings), u"A: | B: b1");
  EXPECT_EQ(TreeView_GetSelection(Tree()), Node(0));  // the group of the only entry
  EXPECT_EQ(f.CurrentApp, nullptr);
  EXPECT_FALSE(Visible("pnlApps"));

  // The trash asks the same question. An entry moved into a group goes
  // with it; one moved out survives it.
  Drop(Node(1, 0), Node(0, -1));
  boxes.clear();
  f.Drag.Start(Node(1));
  f.Drag.DropOnTrash();
  f.Drag.Finish();
  EXPECT_EQ(boxes,
            std::vector<std::u16string>{u"Confirm: Are you sure you want to delete the group \"B\" and all it's applications? (?)"});
  EXPECT_EQ(Describe(settings), u"A: b1");
  EXPECT_EQ(TreeText(), u"A: b1");

  f.actMain.Execute(f.actDeleteGroup->Id);  // the last group: nothing is left selected
  EXPECT_EQ(TreeView_GetCount(Tree()), 0u);
  EXPECT_EQ(TreeView_GetSelection(Tree()), nullptr);
  EXPECT_FALSE(f.actDeleteGroup->Enabled() || f.actRenameEntry->Enabled());
  EXPECT_EQ(Describe(settings), u"");
}

TEST_F(ConfigDialog, EnterOpensAndClosesAGroupAndNeverClosesTheDialog) {
  TConfigForm& f = Open({{u"A", {u"a1"}}});
  SetFocus(Tree());
  Key(Tree(), VK_RETURN);
  EXPECT_TRUE(TreeView_GetItemState(Tree(), Node(0), TVIS_EXPANDED) & TVIS_EXPANDED);
  Key(Tree(), VK_RETURN);
  EXPECT_FALSE(TreeView_GetItemState(Tree(), Node(0), TVIS_EXPANDED) & TVIS_EXPANDED);
  EXPECT_EQ(f.ModalResult, 0);
  Key(Tree(), VK_ESCAPE);  // Esc closes like Done
  EXPECT_EQ(f.ModalResult, IDOK);
}

TEST_F(ConfigDialog, EnterTakesInAFieldAndTheKeyboardGoesTreeEditorDone) {
  TConfigForm& f = Open({{u"A", {u"a1", u"a2"}}});
  EXPECT_EQ(GetFocus(), Tree()) << "the keyboard starts on the tree";
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  for (const char* edit : {"edtCommand", "edtDialogText"}) {
    SetFocus(f.Control(edit));
    SetWindowTextW(f.Control(edit), L"half typed");
    Key(f.Control(edit), VK_RETURN);
    EXPECT_EQ(f.ModalResult, 0) << "Enter in " << edit << " does not close the dialog";
    EXPECT_EQ(GetFocus(), f.Control(edit));
  }
  const TAppItem& a1 = settings.Groups[0].Apps[0];
  EXPECT_EQ(a1.Command + u"/" + a1.DialogText, u"half typed/half typed") << "each taken in";
  // Tab: the tree, the editor, Done last.
  const HWND done = f.Control("DoneBtn");
  EXPECT_EQ(GetNextDlgTabItem(f.Handle(), done, FALSE), Tree());
  EXPECT_TRUE(IsChild(f.Control("pnlApps"), GetNextDlgTabItem(f.Handle(), done, TRUE)));
  SetFocus(done);
  Key(done, VK_RETURN);
  EXPECT_EQ(f.ModalResult, IDOK) << "Enter on Done closes";
}

TEST_F(ConfigDialog, AltOFocusesTheFirstOptionShownNeverTheHiddenOne) {
  TConfigForm& f = Open({});
  ShowWindow(f.Control("HidePMCB"), SW_HIDE);  // as where the desktop window may not be toggled
  PostMessageW(f.Handle(), WM_SYSCHAR, 'o', 1 << 29);
  Keys();
  EXPECT_EQ(GetFocus(), f.Control("FlatButtons"));
  Key(GetFocus(), VK_SPACE);
  EXPECT_FALSE(Checked(f.Control("HidePMCB")));
}

TEST_F(ConfigDialog, OptionsAreWrittenWhenLeftAndOnClose) {
  settings.DisableClose = true;
  settings.BtnSize = 2;
  settings.ShowInfo = true;
  TConfigForm& f = Open({});
  EXPECT_FALSE(f.OptionsChanged);  // loading them is no change
  EXPECT_EQ(SendMessageW(f.Control("rbLarge"), BM_GETCHECK, 0, 0), BST_CHECKED);

  // Typing into an edit and closing with the close box keeps the text.
  PostMessageW(f.Handle(), WM_SYSCHAR, 'o', 1 << 29);
  Keys();
  EXPECT_TRUE(Visible("OptionsTab"));
  SetFocus(f.Control("edtBeforeSSCmd"));
  SetWindowTextW(f.Control("edtBeforeSSCmd"), L"prepare.cmd \u00e9");
  SendMessageW(f.Control("HideTB"), BM_CLICK, 0, 0);
  SendMessageW(f.Control("rbMini"), BM_CLICK, 0, 0);
  EXPECT_TRUE(f.OptionsChanged);
  SetFocus(f.Control("edtBeforeSSCmd"));
  SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(f.ModalResult, IDOK);
  EXPECT_EQ(settings.BeforeScreenSaverCommand, u"prepare.cmd \u00e9");
  EXPECT_TRUE(settings.HideTaskBar);
  EXPECT_EQ(settings.BtnSize, 0);
  EXPECT_TRUE(settings.DisableClose);
  EXPECT_TRUE(settings.ShowInfo);  // never shown, still written back as loaded
}

TEST_F(ConfigDialog, AButtonSizeOutsideTheThreeIsShownLargeAsTheWindowShowsIt) {
  for (int btnSize : {7, -1}) {
    settings.BtnSize = btnSize;
    TConfigForm& f = Open({});
    EXPECT_EQ(SendMessageW(f.Control("rbLarge"), BM_GETCHECK, 0, 0), BST_CHECKED) << btnSize;
    EXPECT_EQ(SendMessageW(f.Control("rbMini"), BM_GETCHECK, 0, 0), BST_UNCHECKED) << btnSize;
  }
}


// --- the entry editor ---------------------------------------------------------

void Select(HWND combo, int item) {
  SendMessageW(combo, CB_SETCURSEL, item, 0);
  SendMessageW(GetAncestor(combo, GA_ROOT), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::u16string TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return U16(text);
}

TEST_F(ConfigDialog, TheEditorShowsAndWritesEveryFieldAsStored) {
  TConfigForm& f = Open({{u"A", {u"one", u"two"}}});
  TAppItem& one = settings.Groups[0].Apps[0];
  one.DialogType = u"y";  // not a code the dialog knows
  one.WindowState = u"";
  std::u16string longText(3000, u'x');
  longText += u"\u4e2d\u6587 \U0001F600";
  one.Parameters = longText;
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  EXPECT_EQ(SendMessageW(f.Control("cbxDialogType"), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageW(f.Control("cbxWindowState"), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(TextOf(f.Control("edtParameters")), longText);
  EXPECT_FALSE(f.DataChanged || f.AppChanged);  // loading is no change

  struct Case {
    int Item;
    std::u16string DialogType, WindowState;
  } cases[] = {{0, u"N", u"N"}, {1, u"Y", u"M"}, {2, u"O", u"X"}};
  for (const Case& c : cases) {
    Select(f.Control("cbxDialogType"), c.Item);
    Select(f.Control("cbxWindowState"), c.Item);
    f.chkIgnoreExit();
    EXPECT_EQ(one.DialogType, c.DialogType);
    EXPECT_EQ(one.WindowState, c.WindowState);
  }
  EXPECT_EQ(one.Parameters, longText);  // written back unchanged
  EXPECT_TRUE(f.AppChanged && f.DataChanged);
}

TEST_F(ConfigDialog, TypedTextGoesToTheEntryItWasTypedFor) {
  TConfigForm& f = Open({{u"A", {u"one", u"two"}}});
  const TAppItem &one = settings.Groups[0].Apps[0], &two = settings.Groups[0].Apps[1];
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  // A click on another node: the edit loses the focus, then the selection changes.
  SetFocus(f.Control("edtCommand"));
  SetWindowTextW(f.Control("edtCommand"), L"C:\\new one.exe");
  SetFocus(Tree());
  TreeView_SelectItem(Tree(), Node(0, 1));
  Settle();
  EXPECT_EQ(one.Command, u"C:\\new one.exe");
  EXPECT_EQ(two.Command, u"C:\\two.exe");
  EXPECT_EQ(TextOf(f.Control("edtCommand")), u"C:\\two.exe");

  // The selection changing while the edit still has the focus.
  SetFocus(f.Control("edtHint"));
  SetWindowTextW(f.Control("edtHint"), L"for two");
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  EXPECT_EQ(two.Hint, u"for two");
  EXPECT_EQ(one.Hint, u"");
  EXPECT_EQ(TextOf(f.Control("edtHint")), u"");
}

TEST_F(ConfigDialog, ThePreviewFollowsTheCaptionOptionsAtTheNextLoad) {
  TConfigForm& f = Open({{u"A", {u"Two|Lines"}}});
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  const std::vector<COLORREF> before = icontest::Pixels(f.Editor.IconPreviewBtn.Glyph());
  SendMessageW(f.Control("chkVertBar"), BM_CLICK, 0, 0);
  EXPECT_TRUE(icontest::Pixels(f.Editor.IconPreviewBtn.Glyph()) == before);  // not yet
  EXPECT_FALSE(settings.VertBarLineBreak);
  f.ShowAppItem(u"Two|Lines");
  EXPECT_FALSE(icontest::Pixels(f.Editor.IconPreviewBtn.Glyph()) == before);
  SetFocus(f.Control("chkVertBar"));
  SetFocus(Tree());  // left: now it is the setting
  EXPECT_TRUE(settings.VertBarLineBreak);
}

TEST_F(ConfigDialog, ABrokenIconShowsAnEmptyPreviewAndNoBox) {
  TConfigForm& f = Open({{u"A", {u"one"}}});
  settings.Groups[0].Apps[0].IconLocation = u"C:\\no\\such.dll,abc";
  for (int i = 0; i < 2; ++i) {
    TreeView_SelectItem(Tree(), i ? Node(0, 0) : Node(0));
    Settle();
  }
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(f.Editor.IconPreviewBtn.Glyph().Width(), f.Scale(60));  // the face, with no icon on it
}

TEST_F(ConfigDialog, AMonitorOfAnotherDpiLaysTheDialogOutAgain) {
  TConfigForm& f = Open({{u"A", {u"one"}}});
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  SetFocus(f.Control("edtCommand"));
  SetWindowTextW(f.Control("edtCommand"), L"typed, not yet left");
  RECT r{};
  GetWindowRect(f.Handle(), &r);
  RECT suggested{r.left, r.top, r.left + (r.right - r.left) * 3 / 2, r.top + (r.bottom - r.top) * 3 / 2};
  SendMessageW(f.Handle(), kDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT button{};
  GetWindowRect(f.Editor.IconPreviewBtn.Handle(), &button);
  EXPECT_EQ(button.right - button.left, 96);
  EXPECT_EQ(button.bottom - button.top, 111);
  EXPECT_EQ(f.Editor.IconPreviewBtn.Glyph().Width(), 90);  // the face of a large button at 144 DPI
  // The edits still end where they did, in the new scale: 4 pixels at 96 DPI.
  RECT edit{}, panel{};
  GetWindowRect(f.Control("edtCommand"), &edit);
  MapWindowPoints(nullptr, f.Control("pnlApps"), reinterpret_cast<POINT*>(&edit), 2);
  GetClientRect(f.Control("pnlApps"), &panel);
  EXPECT_NEAR(panel.right - edit.right, 6, 1);
  EXPECT_EQ(TextOf(f.Control("edtCommand")), u"typed, not yet left");
}

// Answers the icon picker once it shows: picks list item `pick` (none for
// -1) and presses OK, or presses Cancel.
struct PickerAnswer {
  int Pick = -1;
  bool Ok = true;
  std::u16string Load{};  // a file loaded first, as Load... would
  int Items = -1;  // what the list held when it showed
  int Marked = -1;  // and the item marked in it
};
PickerAnswer* gAnswer = nullptr;

BOOL CALLBACK FindListBox(HWND window, LPARAM found) {
  wchar_t cls[32] = {};
  GetClassNameW(window, cls, 32);
  if (_wcsicmp(cls, L"ListBox") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK AnswerPicker(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND picker = FindWindowW(L"DorvaneForm", L"Choose an Icon");
  if (!picker || !IsWindowVisible(picker)) return;
  KillTimer(nullptr, timer);
  HWND list = nullptr;
  EnumChildWindows(picker, FindListBox, reinterpret_cast<LPARAM>(&list));
  gAnswer->Items = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  gAnswer->Marked = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
  if (!gAnswer->Load.empty())
    static_cast<TIconGlyphPickEditDlg*>(reinterpret_cast<Form*>(GetWindowLongPtrW(picker, GWLP_USERDATA)))
        ->LoadIconsFromFile(gAnswer->Load);
  if (gAnswer->Pick >= 0) {
    SendMessageW(list, LB_SETCURSEL, gAnswer->Pick, 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }
  PostMessageW(picker, WM_COMMAND, gAnswer->Ok ? IDOK : IDCANCEL, 0);
}

TEST_F(ConfigDialog, TheIconPickerSetsTheLocationByTheFileKind) {
  wchar_t system[MAX_PATH + 1] = {};
  GetSystemDirectoryW(system, MAX_PATH + 1);
  const std::u16string shell32 = U16(system) + u"\\SHELL32.DLL", notepad = U16(system) + u"\\notepad.exe";
  TConfigForm& f = Open({{u"A", {u"one"}}});
  TAppItem& one = settings.Groups[0].Apps[0];
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  struct Case {
    const char* What;
    std::u16string Command, Location;
    PickerAnswer Answer;
    bool ListFilled;
    std::u16string Stored;
    int Marked = -1;
  };
  const Case cases[] = {
      {"icon 12 of a library", u"C:\\a.exe", shell32 + u",5", {12, true}, true, shell32 + u",12", 5},
      {"a program's own icons, without Load", notepad, u"", {-1, true}, true, notepad + u",0", 0},
      {"a broken location opens on no file", u"C:\\a.exe", u"C:\\x.dll,abc", {-1, false}, false, u"C:\\x.dll,abc"},
      {"... and is mended with Load", u"C:\\a.exe", u"C:\\x.dll,abc", {2, true, shell32}, false, shell32 + u",2"},
      {"OK without a pick for a program", u"C:\\Tools\\APP.EXE", u"", {-1, true}, false, u"C:\\Tools\\APP.EXE,0"},
      {"... for a lower-case program", u"C:\\Tools\\app.exe", u"", {-1, true}, false, u"C:\\Tools\\app.exe,0"},
      {"OK without a pick for a document", u"C:\\notes.txt", u"", {-1, true}, false, u""},
      {"another file type opens no file", u"C:\\a.exe", u"C:\\c.ani,1", {-1, true}, false, u""},
      {"Cancel changes nothing", u"C:\\a.exe", shell32 + u",7", {3, false}, true, shell32 + u",7", 7},
      {"a frame of an animated cursor", u"C:\\a.exe", shell32 + u",7", {2, true, icontest::DataFile(u"steps.ani")},
       true, u"", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    one.Command = c.Command;
    one.IconLocation = c.Location;
    f.ShowAppItem(one.Title);
    PickerAnswer answer = c.Answer;
    gAnswer = &answer;
    SetTimer(nullptr, 0, 50, AnswerPicker);
    f.mDisplayIconClick();
    EXPECT_EQ(answer.Items > 0, c.ListFilled) << answer.Items;
    EXPECT_EQ(answer.Marked, c.Marked);
    EXPECT_EQ(one.IconLocation, c.Stored);
  }
  EXPECT_TRUE(boxes.empty());
}

}  // namespace

// win32_tests --config-shot FILE PAGE: the dialog over a settings file, on
// the given page, for ten seconds (for screenshots of the real dialog).
int ConfigShotProbe(const wchar_t* file, int page) {
  TApplication app(GetModuleHandleW(nullptr));
  std::unique_ptr<TSkiffData> settings = LoadSettingsFile(file);
  TConfigForm form(app, *settings);
  form.Create(nullptr);
  form.LoadOptions(*settings);
  ShowWindow(form.Handle(), SW_SHOW);
  form.ShowPage("PageControl", page);
  const HWND tree = form.Tree();
  // The second group open, its first entry in the editor.
  const HTREEITEM group = TreeView_GetNextSibling(tree, TreeView_GetRoot(tree));
  TreeView_Expand(tree, TreeView_GetRoot(tree), TVE_EXPAND);
  TreeView_Expand(tree, group, TVE_EXPAND);
  TreeView_SelectItem(tree, TreeView_GetChild(tree, group));
  for (int i = 0; i < 200; ++i) {
    Pump();
    Sleep(50);
  }
  return 0;
}
