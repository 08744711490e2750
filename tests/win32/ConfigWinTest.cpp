// The configuration dialog made in this process over a settings object and
// driven the way a user drives it: keys through the dialog's own key
// handling, drops, the menu's commands, its message boxes answered.
#include "win32/ConfigWin.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IconTestSupport.h"
#include "WindowTestSupport.h"
#include "core/Errors.h"
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

std::u16string TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return U16(text);
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
  EXPECT_FALSE(f.actDeleteGroup->Enabled() || f.actDeleteItem->Enabled());
  EXPECT_TRUE(f.actAddItem->Enabled()) << "it makes the group it adds to";
  EXPECT_FALSE(Visible("ShowInfoCB"));

  // Add Group twice: two more "New Group"s at the end, in both places, the
  // last one selected and its name open for typing.
  f.actMain.Execute(f.actAddGroup->Id);
  f.actMain.Execute(f.actAddGroup->Id);
  EXPECT_EQ(TreeText(), u"New Group: | New Group:");
  EXPECT_EQ(Describe(settings), u"New Group: | New Group:");
  EXPECT_EQ(TreeView_GetSelection(Tree()), Node(1));
  EXPECT_EQ(f.CurrentGroup, &settings.Groups[1]);
  const HWND editor = TreeView_GetEditControl(Tree());
  ASSERT_TRUE(editor);
  EXPECT_EQ(TextOf(editor), u"New Group");
  EXPECT_TRUE(f.DataChanged);
}

// Renames typed into the tree's own edit: a group's empty name is refused,
// a long one is taken whole.
TEST_F(ConfigDialog, ARenameTakesLongNamesWholeAndRefusesAGroupWithoutOne) {
  TConfigForm& f = Open({{u"A", {u"a1"}}});
  TreeView_Expand(Tree(), Node(0), TVE_EXPAND);
  const std::u16string longName = std::u16string(391, u'n') + u" \u00fcberlang";
  struct Case {
    const char* What;
    HTREEITEM Node;
    std::u16string Typed, Group, App;
  };
  const Case cases[] = {
      {"a 400-character group name", Node(0), longName, longName, u"a1"},
      {"an empty group name", Node(0), u"", longName, u"a1"},
      {"a 400-character entry title", Node(0, 0), longName, longName, longName},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    SetFocus(Tree());
    TreeView_SelectItem(Tree(), c.Node);
    Settle();
    Key(Tree(), VK_F2);
    const HWND editor = TreeView_GetEditControl(Tree());
    ASSERT_TRUE(editor);
    SetWindowTextW(editor, W(c.Typed));
    Key(editor, VK_RETURN);
    EXPECT_EQ(TreeView_GetEditControl(Tree()), nullptr);
    EXPECT_EQ(settings.Groups[0].Name, c.Group);
    EXPECT_EQ(settings.Groups[0].Apps[0].Title, c.App);
    // What the tree shows is the whole name too.
    wchar_t shown[1024] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = c.Node;
    item.pszText = shown;
    item.cchTextMax = 1024;
    TreeView_GetItem(Tree(), &item);
    EXPECT_EQ(U16(shown), c.Node == Node(0) ? c.Group : c.App);
  }
  EXPECT_FALSE(f.tvAppsEdited(Node(0), u""));
  EXPECT_EQ(settings.Groups[0].Name, longName);
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
  EXPECT_TRUE(f.tvAppsEdited(Node(1), u"second"));
  EXPECT_EQ(settings.Groups[1].Name, u"second");
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

// The pixels of an icon of pure red and blue in a picture.
int IconPixels(const TBitmap& picture) {
  int n = 0;
  for (COLORREF c : icontest::Pixels(picture)) n += c == RGB(255, 0, 0) || c == RGB(0, 0, 255);
  return n;
}

int BitmapWidth(HWND picture) {
  BITMAP info{};
  GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof info, &info);
  return info.bmWidth;
}

TEST_F(ConfigDialog, AMonitorOfAnotherDpiLaysTheDialogOutAgain) {
  TConfigForm& f = Open({{u"A", {u"one"}}});
  settings.Groups[0].Apps[0].IconLocation = icontest::DataFile(u"red.ico") + u",0";
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  const int iconAt96 = IconPixels(f.Editor.IconPreviewBtn.Glyph());
  ASSERT_GT(iconAt96, 0);
  EXPECT_EQ(BitmapWidth(f.Control("imgTrash")), 32);
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
  // The icon in it as large as the main window's buttons have it there
  // (48 pixels for 32: more than twice the area), and the trash as well.
  EXPECT_GT(IconPixels(f.Editor.IconPreviewBtn.Glyph()), iconAt96 * 2);
  EXPECT_EQ(BitmapWidth(f.Control("imgTrash")), 48);
  // The menu's 16-pixel pictures in their 24-pixel place: Add's alone, not
  // a part of Delete's beside it.
  TBitmap menuPicture;
  FillBitmap(menuPicture, clWhite, 24, 24);
  {
    TBitmapCanvas canvas(menuPicture);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.hDC = canvas.DC();
    item.rcItem = {0, 0, 24, 24};
    item.itemData = 0;
    SendMessageW(f.Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  }
  EXPECT_GT(icontest::CountOther(menuPicture, RGB(255, 255, 255)), 0);
  for (int y = 0; y < 24; ++y)
    for (int x : {0, 1, 2, 3, 20, 21, 22, 23}) ASSERT_EQ(menuPicture.Pixel(x, y), RGB(255, 255, 255)) << x << "," << y;
  // The edits still end where they did, in the new scale: 6 pixels at 96
  // DPI, and the Browse buttons beside them likewise.
  for (const char* name : {"edtParameters", "btnBrowseCommand", "btnBrowseStartDir"}) {
    RECT edit{}, panel{};
    GetWindowRect(f.Control(name), &edit);
    MapWindowPoints(nullptr, f.Control("pnlApps"), reinterpret_cast<POINT*>(&edit), 2);
    GetClientRect(f.Control("pnlApps"), &panel);
    EXPECT_NEAR(panel.right - edit.right, 9, 2) << name;
  }
  EXPECT_EQ(TextOf(f.Control("edtCommand")), u"typed, not yet left");
}

// What the editor's edits show on hover: each the value as it was loaded.
TEST_F(ConfigDialog, EachEditHintsTheValueItWasLoadedWith) {
  TConfigForm& f = Open({{u"A", {u"one", u"two"}}});
  TAppItem& one = settings.Groups[0].Apps[0];
  one.Parameters = u"/quiet " + std::u16string(600, u'p');
  one.Directory = u"C:\\Work";
  one.Hint = u"The first \u00e9ntry";
  one.DialogText = u"Really?";
  const auto hint = [&](const char* edit) {
    std::wstring text(2048, L'\0');
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = f.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(f.Control(edit));
    tool.lpszText = text.data();
    SendMessageW(f.Editor.Hints(), TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    return U16(text.c_str());
  };
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  SetWindowTextW(f.Control("edtCommand"), L"typed after");
  const char* edits[] = {"edtCommand", "edtParameters", "edtStartDir", "edtHint", "edtDialogText"};
  const std::u16string loaded[] = {u"C:\\one.exe", one.Parameters, one.Directory, one.Hint, one.DialogText};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(hint(edits[i]), loaded[i]) << edits[i];
  TreeView_SelectItem(Tree(), Node(0, 1));
  Settle();
  EXPECT_EQ(hint("edtCommand"), u"C:\\two.exe");
  EXPECT_EQ(hint("edtHint"), u"");
  EXPECT_EQ(one.Command, u"typed after");
}

// F1 opens the help page at the section of the page shown.
TEST_F(ConfigDialog, F1OpensTheHelpAtThePageShown) {
  std::vector<std::u16string> pages;
  app.OpenHelpPage = [&pages](HWND, const std::u16string& page) {
    pages.push_back(page.substr(page.find_last_of(u'\\') + 1));
    return 42;
  };
  TConfigForm& f = Open({{u"A", {u"a1"}}});
  SetForegroundWindow(f.Handle());
  SetFocus(Tree());
  // The key itself: Windows makes the help request of a real key press only.
  const auto f1 = [this] {
    PressKeys({VK_F1});
    Settle();
  };
  f1();
  PostMessageW(f.Handle(), WM_SYSCHAR, 'o', 1 << 29);
  Keys();
  f1();
  EXPECT_EQ(pages, (std::vector<std::u16string>{u"Dorvane.html#config", u"Dorvane.html#options"}));
}

// A failure in what a key starts inside the dialog's own loop: reported,
// and the main window is not left disabled when the dialog closes.
TEST_F(ConfigDialog, AFailureInTheModalLoopLeavesTheOwnerEnabled) {
  TConfigForm& f = Open({{u"A", {u"a1"}}});
  app.MessageBoxProc = [this](HWND, const std::u16string& text, const std::u16string& caption, UINT) -> int {
    if (caption == kConfirmCaption) throw Exception(u"The disk is on fire.");
    boxes.push_back(caption + u": " + text);
    return IDOK;
  };
  SetFocus(Tree());
  PostMessageW(Tree(), WM_KEYDOWN, VK_DELETE, 1);
  PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(f.ShowModal(owner.Get()), IDOK);
  EXPECT_EQ(boxes, std::vector<std::u16string>{u"Quorvel Dorvane: The disk is on fire."});
  EXPECT_TRUE(IsWindowEnabled(owner.Get()));
  EXPECT_EQ(Describe(settings), u"A: a1");
}

// --- the system's open dialog and folder chooser -------------------------------

// Answers the next system dialog of that title: types a name into it and
// presses Open, or Cancel; notes the folder it opened in.
struct FileDialogAnswer {
  std::wstring Title;
  std::wstring Typed;
  bool Ok = true;
  std::wstring Folder{};  // where it opened
  int Seen = 0;
};
FileDialogAnswer* gFileAnswer = nullptr;

BOOL CALLBACK FindEdit(HWND window, LPARAM found) {
  wchar_t cls[32] = {};
  GetClassNameW(window, cls, 32);
  if (_wcsicmp(cls, L"Edit") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND dialog = FindWindowW(L"#32770", gFileAnswer->Title.c_str());
  if (!dialog || !IsWindowVisible(dialog)) return;
  KillTimer(nullptr, timer);
  ++gFileAnswer->Seen;
  wchar_t folder[MAX_PATH] = {};
  if (SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder)) > 0)
    gFileAnswer->Folder = folder;
  HWND edit = nullptr;
  EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
  if (gFileAnswer->Ok) SetWindowTextW(edit, gFileAnswer->Typed.c_str());
  SetFocus(edit);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(gFileAnswer->Ok ? IDOK : IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, gFileAnswer->Ok ? IDOK : IDCANCEL)));
}

// Empty files of those names in a folder of their own.
struct ScratchFolder {
  TTempFolder Temp{L"Dorvane add"};
  std::wstring Path = Temp.Path().substr(0, Temp.Path().size() - 1);
  explicit ScratchFolder(std::initializer_list<const wchar_t*> files) {
    for (const wchar_t* name : files)
      UniqueHandle(CreateFileW((Temp.Path() + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  std::u16string operator/(const wchar_t* name) const { return U16(Temp.Path() + name); }
};

TEST_F(ConfigDialog, AddItemMakesEntriesByTheDropsRulesFromTheOpenDialog) {
  const ScratchFolder folder({L"Editor.exe", L"notes.txt", L"README"});
  wchar_t programs[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programs);
  TConfigForm& f = Open({});
  SetFocus(Tree());
  const auto add = [&](FileDialogAnswer answer, const std::function<void()>& how) {
    gFileAnswer = &answer;
    SetTimer(nullptr, 0, 50, AnswerFileDialog);
    how();
    Settle();
    EXPECT_EQ(answer.Seen, 1) << "a dialog of that title";
    return answer.Folder;
  };

  // An empty desk: the Insert key, the Program Files folder, a group
  // "Programs" made for the entry.
  std::wstring opened = add({L"Add Item", W(folder / L"Editor.exe")},
                            [&] { Key(Tree(), VK_INSERT); });
  EXPECT_EQ(_wcsicmp(opened.c_str(), programs), 0) << opened;
  EXPECT_EQ(TreeText(), u"Programs: Editor");
  const TAppItem& editor = settings.Groups[0].Apps[0];
  EXPECT_EQ(editor.Command, folder / L"Editor.exe");
  EXPECT_EQ(editor.Title + u"|" + editor.Hint + u"|" + editor.Directory + u"|" + editor.WindowState + u"|" +
                editor.DialogType + u"|" + editor.IconLocation + u"|" + editor.Parameters,
            u"Editor|Editor|" + U16(folder.Path) + u"|N|N||");
  EXPECT_EQ(f.CurrentApp, &editor) << "the new entry is in the editor";
  EXPECT_EQ(TextOf(f.Control("edtCommand")), editor.Command);
  EXPECT_TRUE(f.DataChanged);

  // Two files from the menu's command, with the entry selected: they open
  // in its folder and go to the end of its group, in the order chosen.
  opened = add({L"Add Item", L"\"notes.txt\" \"README\""}, [&] { f.actMain.Execute(f.actAddItem->Id); });
  EXPECT_EQ(_wcsicmp(opened.c_str(), folder.Path.c_str()), 0) << opened;
  EXPECT_EQ(TreeText(), u"Programs: Editor notes README");
  EXPECT_EQ(f.CurrentApp, &settings.Groups[0].Apps[1]);
  EXPECT_EQ(TreeView_GetSelection(Tree()), Node(0, 1));

  // Cancel, from the button: nothing changes.
  add({L"Add Item", L"", false}, [&] { SendMessageW(f.Control("btnAddItem"), BM_CLICK, 0, 0); });
  EXPECT_EQ(TreeText(), u"Programs: Editor notes README");
  f.StoreTree(settings);
  EXPECT_EQ(Describe(settings), u"Programs: Editor notes README");
  EXPECT_EQ(settings.Groups[0].Apps[2].Command, folder / L"README");
}

TEST_F(ConfigDialog, BrowseBesideCommandAndStartDirectoryWritesWhatWasChosen) {
  const ScratchFolder folder({L"Tool.exe"});
  CreateDirectoryW(W(folder / L"Work"), nullptr);
  TConfigForm& f = Open({{u"A", {u"one"}}});
  TAppItem& one = settings.Groups[0].Apps[0];
  one.Directory = U16(folder.Path);
  TreeView_SelectItem(Tree(), Node(0, 0));
  Settle();
  struct Case {
    const char* Button;
    FileDialogAnswer Answer;
    std::u16string Command, Directory;
  };
  const Case cases[] = {
      {"btnBrowseCommand", {L"Command", W(folder / L"Tool.exe")}, folder / L"Tool.exe", U16(folder.Path)},
      {"btnBrowseStartDir", {L"Start directory", W(folder / L"Work")}, folder / L"Tool.exe", folder / L"Work"},
      {"btnBrowseStartDir", {L"Start directory", L"", false}, folder / L"Tool.exe", folder / L"Work"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Button);
    FileDialogAnswer answer = c.Answer;
    gFileAnswer = &answer;
    SetTimer(nullptr, 0, 50, AnswerFileDialog);
    SendMessageW(f.Control(c.Button), BM_CLICK, 0, 0);
    Keys();
    EXPECT_EQ(answer.Seen, 1);
    EXPECT_EQ(one.Command, c.Command);
    EXPECT_EQ(one.Directory, c.Directory);
  }
  EXPECT_TRUE(f.DataChanged);

  // The same chooser for the Explorer's folder on the options page.
  FileDialogAnswer answer{L"Explorer Startup Directory", W(folder / L"Work")};
  gFileAnswer = &answer;
  SetTimer(nullptr, 0, 50, AnswerFileDialog);
  SendMessageW(f.Control("BrowseDirBtn"), BM_CLICK, 0, 0);
  Keys();
  EXPECT_EQ(answer.Seen, 1);
  EXPECT_EQ(settings.ExpStartDir, folder / L"Work");
  EXPECT_TRUE(f.OptionsChanged);
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
    const UINT_PTR answering = SetTimer(nullptr, 0, 50, AnswerPicker);
    f.mDisplayIconClick();
    KillTimer(nullptr, answering);  // a picker that never showed leaves it running, over a gone answer
    EXPECT_EQ(answer.Items > 0, c.ListFilled) << answer.Items;
    EXPECT_EQ(answer.Marked, c.Marked);
    EXPECT_EQ(one.IconLocation, c.Stored);
  }
  EXPECT_TRUE(boxes.empty());
}

}  // namespace

namespace {
void CALLBACK EndTheMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  EndMenu();
}
}  // namespace

// win32_tests --config-shot FILE PAGE: the dialog over a settings file, on
// the given page (2: the first, with the tree's menu open over the entry),
// for ten seconds (for screenshots of the real dialog).
int ConfigShotProbe(const wchar_t* file, int page) {
  TApplication app(GetModuleHandleW(nullptr));
  std::unique_ptr<TSkiffData> settings = LoadSettingsFile(file);
  TConfigForm form(app, *settings);
  form.Create(nullptr);
  form.LoadOptions(*settings);
  ShowWindow(form.Handle(), SW_SHOW);
  form.ShowPage("PageControl", page == 1 ? 1 : 0);
  const HWND tree = form.Tree();
  // The second group open, its first entry in the editor.
  const HTREEITEM group = TreeView_GetNextSibling(tree, TreeView_GetRoot(tree));
  TreeView_Expand(tree, TreeView_GetRoot(tree), TVE_EXPAND);
  TreeView_Expand(tree, group, TVE_EXPAND);
  TreeView_SelectItem(tree, TreeView_GetChild(tree, group));
  for (int i = 0; i < 200; ++i) {
    Pump();
    Sleep(50);
    if (page == 2 && i == 20) {
      // A right click on the entry, as the mouse gives it; the menu ends by itself.
      RECT r{};
      TreeView_GetItemRect(tree, TreeView_GetChild(tree, group), &r, TRUE);
      POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      ClientToScreen(tree, &at);
      SetCursorPos(at.x, at.y);
      SetTimer(nullptr, 0, 8000, EndTheMenu);
      NMHDR click{tree, static_cast<UINT_PTR>(GetDlgCtrlID(tree)), static_cast<UINT>(NM_RCLICK)};
      SendMessageW(form.Handle(), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
    }
  }
  return 0;
}
