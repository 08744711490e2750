#include "win32/IconGlyphPickEdt.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>

#include "core/IconGlyphPickEdt.h"
#include "win32/AboutWin.h"
#include "win32/res/resource.h"

namespace {

enum : int { kIconListId = 100, kEnabledId, kFlatId, kLoadId };
// Posted when a drawn item's icon turned out damaged: the item goes, but not
// while the list is painting.
constexpr UINT kDropFailed = WM_APP + 1;
// Extracted icons kept at most, of both sizes: past it those out of sight
// are let go, so that scrolling through a library of thousands of icons
// cannot use up the process's handles (two GDI objects and a USER object
// each).
constexpr int kMaxHeldIcons = 512;

constexpr std::u16string_view kFilter =
    u"Icon Files (*.ico, *.exe, *.dll)|*.ico;*.exe;*.dll|Cursor Files (*.cur, *.ani)|*.cur;*.ani|All Files (*.*)|*.*";

const TFormDef kPickDef = {L"Choose an Icon", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
                           WS_EX_DLGMODALFRAME, 247, 152, 300, 300, false, {L"MS Sans Serif", -11}, 300, 300};

// Creation order is the Tab order: the list, the check boxes, the buttons.
const TControlDef kPickControls[] = {
    {TControlKind::Panel, "pnlTop", nullptr, TAlign::Top, 0, 0, 292, 31},
    {TControlKind::Label, "lbIndexTitle", "pnlTop", TAlign::None, 172, 9, 30, 13, L"Index:"},
    {TControlKind::Label, "lbIndex", "pnlTop", TAlign::None, 203, 9, 80, 13, L""},
    {TControlKind::Panel, "pnlBottom", nullptr, TAlign::Bottom, 0, 0, 292, 32, L"", {}, 0, 0, 0, BDR_SUNKENOUTER},
    {TControlKind::Panel, "pnlIcons", nullptr, TAlign::Client, 0, 0, 292, 210},
    {TControlKind::ListBox, "IconList", "pnlIcons", TAlign::Client, 0, 0, 220, 210, L"", {},
     LBS_OWNERDRAWFIXED | LBS_MULTICOLUMN | LBS_HASSTRINGS | WS_HSCROLL, 0, kIconListId},
    {TControlKind::Panel, "pnlGlyph", "pnlIcons", TAlign::Right, 0, 0, 72, 210, L"", {}, 0, 0, 0,
     BDR_RAISEDINNER | BDR_SUNKENOUTER},
    {TControlKind::Panel, "Panel1", "pnlGlyph", TAlign::Top, 0, 0, 68, 37},
    {TControlKind::CheckBox, "cbEnabled", "Panel1", TAlign::None, 2, 2, 60, 17, L"Enabled", {}, 0, 0, kEnabledId},
    {TControlKind::CheckBox, "cbFlat", "Panel1", TAlign::None, 2, 18, 60, 17, L"Flat", {}, 0, 0, kFlatId},
    {TControlKind::Panel, "pnlisb", "pnlGlyph", TAlign::Top, 0, 0, 68, 70, L"", {}, 0, 0, 0, BDR_SUNKENINNER},
    {TControlKind::Panel, "pnlBtn", "pnlBottom", TAlign::Right, 0, 0, 233, 30},
    {TControlKind::Button, "bbLoad", "pnlBtn", TAlign::None, 1, 3, 75, 25, L"&Load...", {}, WS_DISABLED, 0, kLoadId},
    {TControlKind::Button, "btnOk", "pnlBtn", TAlign::None, 78, 3, 75, 25, L"OK", {}, BS_DEFPUSHBUTTON, 0, IDOK},
    {TControlKind::Button, "btnCancel", "pnlBtn", TAlign::None, 155, 3, 75, 25, L"Cancel", {}, 0, 0, IDCANCEL},
};

// The tool buttons of pnlTop at 96 DPI.
struct TToolPlace {
  TIconSpeedBtn TIconGlyphPickEditDlg::*Button;
  RECT Bounds;
};
constexpr TToolPlace kToolPlaces[] = {
    {&TIconGlyphPickEditDlg::isbFile, {3, 3, 28, 28}},     {&TIconGlyphPickEditDlg::sbtnCursor, {28, 2, 53, 27}},
    {&TIconGlyphPickEditDlg::isbSystem, {53, 2, 78, 27}},  {&TIconGlyphPickEditDlg::isbSmall, {104, 3, 129, 28}},
    {&TIconGlyphPickEditDlg::isbLarge, {129, 3, 154, 28}},
};

// One picture of a strip of 32-bit pictures with straight alpha, laid on
// the button face: the buttons take the bottom-left pixel as transparent.
TBitmap StripPicture(HINSTANCE instance, int resource, int index, int size) {
  TBitmap picture;
  FillBitmap(picture, clBtnFace, size, size);
  const UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!strip) return picture;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, size * 3, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint32_t> bits(std::size_t(size) * size * 3);
  {
    const WindowDC screen(nullptr);
    if (!GetDIBits(screen.Get(), strip.Get(), 0, static_cast<UINT>(size), bits.data(), &info, DIB_RGB_COLORS))
      return picture;
  }
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  GdiFlush();
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::uint32_t p = bits[std::size_t(y) * size * 3 + index * size + x];
      const int a = int(p >> 24);
      auto blend = [&](int c, int f) { return (c * a + f * (255 - a) + 127) / 255; };
      picture.SetRawPixel(x, y,
                          RGB(blend(int((p >> 16) & 0xFF), GetRValue(face)), blend(int((p >> 8) & 0xFF), GetGValue(face)),
                              blend(int(p & 0xFF), GetBValue(face))));
    }
  }
  return picture;
}

BOOL CALLBACK AddCursorId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  if (IS_INTRESOURCE(name))
    reinterpret_cast<std::vector<int>*>(found)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
  return TRUE;
}

// The identifiers of the executable's own cursors.
std::vector<int> RegisteredCursorIds() {
  std::vector<int> ids;
  EnumResourceNamesW(GetModuleHandleW(nullptr), RT_GROUP_CURSOR, AddCursorId, reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

}  // namespace

// A module's icon groups in ExtractIconEx's order, with the module held open
// as data: each icon is made from its resources in place, where the shell's
// extraction opens the file again for every icon.
class TIconGlyphPickEditDlg::TIconLibrary {
 public:
  explicit TIconLibrary(const std::wstring& name)
      : FModule(LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
    if (FModule) EnumResourceNamesW(FModule, RT_GROUP_ICON, AddGroup, reinterpret_cast<LONG_PTR>(this));
  }
  ~TIconLibrary() {
    if (FModule) FreeLibrary(FModule);
  }
  TIconLibrary(const TIconLibrary&) = delete;
  TIconLibrary& operator=(const TIconLibrary&) = delete;

  int Count() const { return static_cast<int>(FGroups.size()); }
  // None of the icon's images can be an icon: read without making one.
  bool Damaged(int index) const {
    const auto ids = IconGroupImageIds(Bytes(Group(index), RT_GROUP_ICON));
    return std::none_of(ids.begin(), ids.end(),
                        [&](std::uint16_t id) { return LooksLikeIconImage(Bytes(MAKEINTRESOURCEW(id), RT_ICON)); });
  }
  // The icon's image nearest the size (LookupIconIdFromDirectoryEx's choice).
  UniqueIcon Icon(int index, SIZE size) const {
    const auto directory = Bytes(Group(index), RT_GROUP_ICON);
    if (directory.empty()) return {};
    const int id =
        LookupIconIdFromDirectoryEx(const_cast<PBYTE>(directory.data()), TRUE, size.cx, size.cy, LR_DEFAULTCOLOR);
    const auto image = id > 0 ? Bytes(MAKEINTRESOURCEW(id), RT_ICON) : std::span<const std::uint8_t>();
    if (image.empty()) return {};
    return UniqueIcon(CreateIconFromResourceEx(const_cast<PBYTE>(image.data()), static_cast<DWORD>(image.size()), TRUE,
                                               0x00030000, size.cx, size.cy, LR_DEFAULTCOLOR));
  }

 private:
  static BOOL CALLBACK AddGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR self) {
    auto* library = reinterpret_cast<TIconLibrary*>(self);
    if (IS_INTRESOURCE(name)) {
      library->FGroups.push_back(reinterpret_cast<ULONG_PTR>(name));
    } else {
      library->FNamed.emplace_back(name);
      library->FGroups.push_back(kNamed + library->FNamed.size() - 1);
    }
    return TRUE;
  }
  LPCWSTR Group(int index) const {
    const ULONG_PTR g = FGroups[static_cast<std::size_t>(index)];
    return g < kNamed ? MAKEINTRESOURCEW(g) : FNamed[g - kNamed].c_str();
  }
  std::span<const std::uint8_t> Bytes(LPCWSTR id, LPCWSTR type) const {
    const HRSRC found = FindResourceW(FModule, id, type);
    const HGLOBAL data = found ? LoadResource(FModule, found) : nullptr;
    const auto* p = data ? static_cast<const std::uint8_t*>(LockResource(data)) : nullptr;
    return p ? std::span<const std::uint8_t>(p, SizeofResource(FModule, found)) : std::span<const std::uint8_t>();
  }

  // A group is its identifier, or kNamed + its place in FNamed.
  static constexpr ULONG_PTR kNamed = 0x10000;
  HMODULE FModule;
  std::vector<std::wstring> FNamed;
  std::vector<ULONG_PTR> FGroups;
};

TIconGlyphPickEditDlg::TIconGlyphPickEditDlg(TApplication& app) : Form(app) {}

TIconGlyphPickEditDlg::~TIconGlyphPickEditDlg() {
  // The buttons are children of the window: they go with it, before the
  // image lists they may draw from.
  if (Handle()) DestroyWindow(Handle());
}

int TIconGlyphPickEditDlg::IconMetric(int index) const { return SystemMetricForDpi(index, Dpi()); }

void TIconGlyphPickEditDlg::Create(HWND owner) {
  CreateForm(kPickDef, kPickControls, owner);
  const HWND top = Control("pnlTop");
  TIconButtonProps props;
  props.Dpi = Dpi();
  props.TabStop = true;  // the keyboard reaches the sources and the sizes too
  props.GroupIndex = 1;
  for (auto [button, hint] : {std::pair{&isbFile, u"File Icons"}, {&sbtnCursor, u"Cursors"}, {&isbSystem, u"System Icons"}}) {
    props.Hint = hint;
    button->Create(top, 0, {}, props);
  }
  props.GroupIndex = 2;
  for (auto [button, caption, hint] : {std::tuple{&isbSmall, u"S", u"Small Icons"}, {&isbLarge, u"L", u"Large Icons"}}) {
    props.Caption = caption;
    props.Hint = hint;
    button->Create(top, 0, {}, props);
  }
  isbFile.SetDown(true);
  isbSmall.SetDown(true);
  TIconButtonProps preview;
  preview.Dpi = Dpi();
  isbIconSpeedBtn.Create(Control("pnlisb"), 0, {0, 0, 28, 28}, preview);
  isbFile.OnClick = [this] { isbFileClick(); };
  sbtnCursor.OnClick = [this] { sbtnCursorClick(); };
  isbSystem.OnClick = [this] { isbSystemClick(); };
  isbSmall.OnClick = isbLarge.OnClick = [this] { SetListIconSize(Large()); };
  PlaceButtons();
  FormCreate();
  FCreated = true;
}

void TIconGlyphPickEditDlg::PlaceButtons() {
  for (const TToolPlace& t : kToolPlaces) {
    const RECT& b = t.Bounds;
    (this->*t.Button).SetDpi(Dpi());
    SetWindowPos((this->*t.Button).Handle(), nullptr, Scale(b.left), Scale(b.top), Scale(b.right - b.left),
                 Scale(b.bottom - b.top), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const int size = ArtworkSize(Scale(16));
  const int resource = size == 32 ? IDB_PICKER32 : size == 24 ? IDB_PICKER24 : size == 20 ? IDB_PICKER20 : IDB_PICKER16;
  isbFile.SetGlyph(StripPicture(App.Instance, resource, 0, size));
  sbtnCursor.SetGlyph(StripPicture(App.Instance, resource, 1, size));
  isbSystem.SetGlyph(StripPicture(App.Instance, resource, 2, size));
  FBoldFont.Reset(CreateFontW(Scale(-11), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif"));
  for (TIconSpeedBtn* b : {&isbSmall, &isbLarge})
    SendMessageW(b->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FBoldFont.Get()), TRUE);
}

void TIconGlyphPickEditDlg::SizeIconLists() {
  LargeIconList.SetSize(IconMetric(SM_CXICON), IconMetric(SM_CYICON));
  SmallIconList.SetSize(IconMetric(SM_CXSMICON), IconMetric(SM_CYSMICON));
  LargeIconList.Clear();
  SmallIconList.Clear();
  for (auto& pictures : FPictures) pictures.clear();
  FLibrary.reset();
}

void TIconGlyphPickEditDlg::WaitForPictures(int count) {
  for (auto& pictures : FPictures) {
    pictures.clear();
    pictures.resize(static_cast<std::size_t>(count));
  }
  FHeld = 0;
  FHeldLimit = kMaxHeldIcons;
}

void TIconGlyphPickEditDlg::FormCreate() {
  SizeIconLists();
  AttachSystemLists();
}

void TIconGlyphPickEditDlg::AttachSystemLists() {
  // The shell's lists nearest the window's DPI, so that its icons are not
  // blown up from the system DPI's size.
  AssignSystemImageList(SysLargeIconList, isLarge, Dpi());
  AssignSystemImageList(SysSmallIconList, isSmall, Dpi());
}

int TIconGlyphPickEditDlg::ShowModal(HWND owner) {
  FormShow();
  const int result = Form::ShowModal(owner);
  FormClose();
  return result;
}

void TIconGlyphPickEditDlg::FormShow() {
  ShowWindow(sbtnCursor.Handle(), AllowCursor ? SW_SHOW : SW_HIDE);
  ShowWindow(isbFile.Handle(), AllowFile ? SW_SHOW : SW_HIDE);
  ShowWindow(isbSystem.Handle(), AllowSystem ? SW_SHOW : SW_HIDE);
  const bool large = isbIconSpeedBtn.IconGlyph.IconSize() == isLarge;
  (large ? isbLarge : isbSmall).SetDown(true);
  SetListIconSize(large);
  isbFile.SetDown(true);
  FillIconList();
  EnableWindow(Control("bbLoad"), isbFile.Down());
  Button_SetCheck(Control("cbFlat"), BST_UNCHECKED);
  Button_SetCheck(Control("cbEnabled"), BST_CHECKED);
  isbIconSpeedBtn.SetFlat(false);
  isbIconSpeedBtn.SetEnabled(true);
  SetWindowTextW(Control("lbIndex"), L"");
  // The caller's description, whatever order its writes came in.
  isbIconSpeedBtn.RefreshGlyph();
  if (!LoadOnShow) return;
  LoadIconsFromFile(isbIconSpeedBtn.IconGlyph.FileName());
  // The current icon marked and in sight, not yet picked.
  const auto at = std::find(FItemNumbers.begin(), FItemNumbers.end(), isbIconSpeedBtn.IconGlyph.IconIndex());
  if (at != FItemNumbers.end()) SendMessageW(Control("IconList"), LB_SETCURSEL, at - FItemNumbers.begin(), 0);
}

void TIconGlyphPickEditDlg::FormClose() { LoadOnShow = false; }

void TIconGlyphPickEditDlg::FormResize() {
  if (FCreated) SetListIconSize(Large());
}

TIconGlyphPickEditDlg::TPickMode TIconGlyphPickEditDlg::Mode() const {
  return isbSystem.Down() ? pmSystem : sbtnCursor.Down() ? pmCursor : pmFile;
}

void TIconGlyphPickEditDlg::SetListIconSize(bool large) {
  const int itemHeight = IconMetric(large ? SM_CYICON : SM_CYSMICON) + Scale(8);
  isbIconSpeedBtn.IconGlyph.SetIconSize(large ? isLarge : isSmall);
  RECT panel{};
  GetClientRect(Control("pnlisb"), &panel);
  SetWindowPos(isbIconSpeedBtn.Handle(), nullptr, (panel.right - itemHeight) / 2, (panel.bottom - itemHeight) / 2,
               itemHeight, itemHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  const HWND list = Control("IconList");
  SendMessageW(list, LB_SETITEMHEIGHT, 0, itemHeight);
  RECT r{};
  GetClientRect(list, &r);
  // About square cells; a list narrower than one cell still has a column.
  const int columns = std::max(1, static_cast<int>(r.right) / itemHeight);
  SendMessageW(list, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, static_cast<int>(r.right) / columns)), 0);
  InvalidateRect(list, nullptr, TRUE);
}

void TIconGlyphPickEditDlg::FillIconList() {
  const HWND list = Control("IconList");
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  if (Mode() == pmSystem) {
    FItemNumbers.resize(static_cast<std::size_t>(SysSmallIconList.Count()));
    for (std::size_t i = 0; i < FItemNumbers.size(); ++i) FItemNumbers[i] = static_cast<int>(i);
  }
  // Cursor and file modes number their items as their lists were filled.
  SendMessageW(list, LB_INITSTORAGE, FItemNumbers.size(), FItemNumbers.size() * 8);
  for (const int n : FItemNumbers)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DecimalW(n).c_str()));
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void TIconGlyphPickEditDlg::isbSystemClick() {
  EnableWindow(Control("bbLoad"), FALSE);
  FillIconList();
}

void TIconGlyphPickEditDlg::isbFileClick() {
  // The file lists may hold cursors now: nothing shows until the next Load.
  FItemNumbers.clear();
  SendMessageW(Control("IconList"), LB_RESETCONTENT, 0, 0);
  EnableWindow(Control("bbLoad"), TRUE);
}

void TIconGlyphPickEditDlg::LoadCursors() {
  SizeIconLists();
  FItemNumbers = ListedCursorIds([](int id) { return reinterpret_cast<std::uintptr_t>(ApplicationCursor(id)); },
                                 RegisteredCursorIds());
  // Drawn from the application's own cursors, which stay its own.
  WaitForPictures(static_cast<int>(FItemNumbers.size()));
}

void TIconGlyphPickEditDlg::sbtnCursorClick() {
  EnableWindow(Control("bbLoad"), FALSE);
  LoadCursors();
  FillIconList();
}

void TIconGlyphPickEditDlg::bbLoadClick() {
  std::u16string fileName;
  if (!OpenFileDialog(Handle(), kFilter, LoadDir, fileName)) return;
  LoadIconsFromFile(fileName);
  FLoadedFile = fileName;
  const std::size_t slash = fileName.find_last_of(u"\\/");
  LoadDir = slash == std::u16string::npos ? std::u16string() : fileName.substr(0, slash + 1);
}

void TIconGlyphPickEditDlg::LoadIconsFromFile(const std::u16string& fileName) {
  SizeIconLists();
  FItemNumbers.clear();
  FListFile = fileName;
  const std::wstring name = SystemFileName(fileName);
  if (IsAnimatedCursorFile(fileName)) {
    const UniqueCursor cursor(LoadCursorFromFileW(name.c_str()));
    const int frames = cursor ? CountAnimationFrames(cursor.Get()) : 0;
    TBitmap large, small;
    large.SetSize(LargeIconList.Width(), LargeIconList.Height());
    small.SetSize(SmallIconList.Width(), SmallIconList.Height());
    const UniqueBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    for (int frame = 0; frame < frames; ++frame) {
      for (TBitmap* bitmap : {&large, &small}) {
        {
          const TBitmapCanvas canvas(*bitmap);
          DrawIconEx(canvas.DC(), 0, 0, cursor.Get(), bitmap->Width(), bitmap->Height(), static_cast<UINT>(frame),
                     white.Get(), DI_NORMAL);
        }
        // Opaque, white included: a picture without alpha values, which
        // SetPixel writes, is drawn as it is.
        GdiFlush();
        for (int y = 0; y < bitmap->Height(); ++y)
          for (int x = 0; x < bitmap->Width(); ++x) bitmap->SetRawPixel(x, y, bitmap->RawPixel(x, y));
      }
      // Items and pictures stay in step: a frame goes in whole or not at all.
      const int at = LargeIconList.AddBitmap(large);
      if (at < 0) continue;
      if (SmallIconList.AddBitmap(small) < 0) {
        ImageList_Remove(LargeIconList.Handle(), at);
        continue;
      }
      FItemNumbers.push_back(frame);
    }
  } else {
    // Wine answers an unreadable file with UINT_MAX.
    const UINT count = ExtractIconExW(name.c_str(), -1, nullptr, nullptr, 0);
    const int total = count == UINT_MAX ? 0 : static_cast<int>(std::min<UINT>(count, INT_MAX));
    // Every item at once, each icon only when its item is first drawn, at
    // the size drawn: a library of hundreds of icons shows in the time of
    // the few that fit. An icon known to be damaged is left out; the items
    // keep the file's numbering. Other files (icon files), and modules the
    // shell counts otherwise, are left to the shell's extraction.
    FLibrary = std::make_unique<TIconLibrary>(name);
    if (FLibrary->Count() != total) FLibrary.reset();
    WaitForPictures(total);
    FListFileName = name;
    for (int index = 0; index < total; ++index)
      if (!FLibrary || !FLibrary->Damaged(index)) FItemNumbers.push_back(index);
  }
  FillIconList();
}

int TIconGlyphPickEditDlg::ImageOf(std::size_t position) const {
  const bool byFileIndex = Mode() == pmFile && !FPictures[0].empty() && position < FItemNumbers.size();
  return byFileIndex ? FItemNumbers[position] : static_cast<int>(position);
}

HICON TIconGlyphPickEditDlg::PictureOf(std::size_t position) {
  std::vector<TPicture>& pictures = FPictures[Large()];
  const int image = ImageOf(position);
  if (image < 0 || static_cast<std::size_t>(image) >= pictures.size()) return nullptr;
  TPicture& picture = pictures[static_cast<std::size_t>(image)];
  if (picture.Tried) return picture.Icon;
  if (Mode() == pmCursor) {
    picture.Icon = position < FItemNumbers.size() ? ApplicationCursor(FItemNumbers[position]) : nullptr;
  } else {
    if (FHeld >= FHeldLimit) {
      ReleaseUnseen();
      // A window showing hundreds of cells keeps what it shows, and does not
      // look for icons to let go of at every new one.
      FHeldLimit = std::max(kMaxHeldIcons, FHeld + kMaxHeldIcons / 2);
    }
    const int size = IconMetric(Large() ? SM_CXICON : SM_CXSMICON);
    if (FLibrary) picture.Owned = FLibrary->Icon(image, {size, size});
    if (!picture.Owned) picture.Owned = ExtractIconOfSize(FListFileName, image, {size, size});
    picture.Icon = picture.Owned.Get();
    if (picture.Icon) ++FHeld;
    else PostMessageW(Handle(), kDropFailed, 0, 0);
  }
  picture.Tried = true;
  return picture.Icon;
}

void TIconGlyphPickEditDlg::ReleaseUnseen() {
  const HWND list = Control("IconList");
  RECT client{};
  GetClientRect(list, &client);
  std::vector<bool> seen(FPictures[0].size());
  const auto count = static_cast<std::size_t>(std::max<LRESULT>(0, SendMessageW(list, LB_GETCOUNT, 0, 0)));
  for (auto at = static_cast<std::size_t>(std::max<LRESULT>(0, SendMessageW(list, LB_GETTOPINDEX, 0, 0)));
       at < count; ++at) {
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, at, reinterpret_cast<LPARAM>(&r));
    if (r.left >= client.right) break;
    if (const auto image = static_cast<std::size_t>(ImageOf(at)); image < seen.size()) seen[image] = true;
  }
  FHeld = 0;
  for (auto& pictures : FPictures) {
    for (std::size_t image = 0; image < pictures.size(); ++image) {
      if (!pictures[image].Owned) continue;
      if (seen[image]) ++FHeld;
      else pictures[image] = TPicture{};
    }
  }
}

void TIconGlyphPickEditDlg::DropFailedItems() {
  // Cursor items stand for their identifiers: they stay, empty.
  const std::vector<TPicture>& pictures = FPictures[Large()];
  if (Mode() != pmFile || pictures.empty()) return;
  const HWND list = Control("IconList");
  for (std::size_t at = FItemNumbers.size(); at-- > 0;) {
    const TPicture& picture = pictures[static_cast<std::size_t>(FItemNumbers[at])];
    if (!picture.Tried || picture.Icon) continue;
    SendMessageW(list, LB_DELETESTRING, at, 0);
    FItemNumbers.erase(FItemNumbers.begin() + static_cast<std::ptrdiff_t>(at));
  }
}

void TIconGlyphPickEditDlg::IconListClick() {
  const HWND list = Control("IconList");
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (selected < 0 || static_cast<std::size_t>(selected) >= FItemNumbers.size()) return;
  TIconGlyph& glyph = isbIconSpeedBtn.IconGlyph;
  glyph.BeginUpdate();
  switch (Mode()) {
    case pmFile:
      glyph.SetIconType(itFileIndex);
      glyph.SetFileName(FListFile);
      break;
    case pmSystem: glyph.SetIconType(itSystem); break;
    case pmCursor:
      glyph.SetIconType(itCursor);
      glyph.SetFileName(FLoadedFile);
      break;
  }
  const int number = FItemNumbers[static_cast<std::size_t>(selected)];
  glyph.SetIconIndex(number);
  glyph.EndUpdate();
  SetWindowTextW(Control("lbIndex"), DecimalW(number).c_str());
  isbIconSpeedBtn.RefreshGlyph();
}

void TIconGlyphPickEditDlg::IconListDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
  const TImageList& images = Mode() == pmSystem ? (Large() ? SysLargeIconList : SysSmallIconList)
                                                : (Large() ? LargeIconList : SmallIconList);
  const int image = ImageOf(item.itemID);
  const int x = item.rcItem.left + Scale(4), y = item.rcItem.top + Scale(4);
  const int size = IconMetric(Large() ? SM_CXICON : SM_CXSMICON);
  if (Mode() != pmSystem && !FPictures[0].empty()) {
    // Drawn from the icon itself: copying it into an image list first costs
    // more than extracting it.
    if (const HICON icon = PictureOf(item.itemID)) DrawIconEx(item.hDC, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
  } else if (images.Handle() && images.Width() > size) {
    // The shell has no list of this DPI's size: its next larger one, made smaller.
    if (const UniqueIcon icon = images.GetIcon(image)) DrawIconEx(item.hDC, x, y, icon.Get(), size, size, 0, nullptr, DI_NORMAL);
  } else if (images.Handle()) {
    ImageList_Draw(images.Handle(), image, item.hDC, x, y, ILD_NORMAL);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

LRESULT TIconGlyphPickEditDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HELP:
      ShowHelp(App, Handle(), u"icon");  // where the entry editor's Icon is told of
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
          ModalResult = LOWORD(wParam);
          return 0;
        case kLoadId:
          if (HIWORD(wParam) == BN_CLICKED) bbLoadClick();
          return 0;
        case kEnabledId:
          isbIconSpeedBtn.SetEnabled(Button_GetCheck(Control("cbEnabled")) == BST_CHECKED);
          return 0;
        case kFlatId:
          isbIconSpeedBtn.SetFlat(Button_GetCheck(Control("cbFlat")) == BST_CHECKED);
          return 0;
        case kIconListId:
          // A click and the arrow keys alike.
          if (HIWORD(wParam) == LBN_SELCHANGE) IconListClick();
          return 0;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID == kIconListId) {
        IconListDrawItem(*item);
        return TRUE;
      }
      break;
    }
    case kDropFailed:
      DropFailedItems();
      return 0;
    case WM_CTLCOLORLISTBOX:
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_SIZE: {
      const LRESULT r = Form::HandleMessage(message, wParam, lParam);
      FormResize();
      return r;
    }
    case kDpiChanged: {
      const LRESULT r = Form::HandleMessage(message, wParam, lParam);
      if (!FCreated) return r;
      PlaceButtons();
      isbIconSpeedBtn.SetDpi(Dpi());
      SetWindowPos(isbIconSpeedBtn.Handle(), nullptr, 0, 0, Scale(28), Scale(28), SWP_NOZORDER | SWP_NOACTIVATE);
      // The lists are drawn again at the new monitor's icon size.
      const LRESULT selected = SendMessageW(Control("IconList"), LB_GETCURSEL, 0, 0);
      const bool listed = !FItemNumbers.empty();
      AttachSystemLists();
      if (Mode() == pmCursor) sbtnCursorClick();
      else if (Mode() == pmFile && listed) LoadIconsFromFile(FListFile);
      else SizeIconLists();
      SetListIconSize(Large());
      SendMessageW(Control("IconList"), LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
      return r;
    }
  }
  return Form::HandleMessage(message, wParam, lParam);
}
