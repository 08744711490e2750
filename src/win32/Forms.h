// The small form framework: a window class per form, controls created from
// a declarative table (positions at 96 DPI, scaled for the monitor), simple
// edge alignment, modal showing, and the one error box.
#pragma once

#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "win32/WinSupport.h"

// WM_DPICHANGED, newer than the headers' Windows target.
constexpr UINT kDpiChanged = 0x02E0;

// What every form of the program shares.
class TApplication {
 public:
  using MessageBoxFn = std::function<int(HWND owner, const std::u16string& text,
                                         const std::u16string& caption, UINT type)>;
  explicit TApplication(HINSTANCE instance);

  HINSTANCE Instance;
  std::u16string Title;
  // Every message box of the program goes through here, so that tests can
  // answer them.
  MessageBoxFn MessageBoxProc;
  // Opens the help page (a full path, "#" and a section after it when one
  // is asked for) and returns the shell's result; empty: the shell. Tests
  // put a stand-in here.
  std::function<int(HWND owner, const std::u16string& page)> OpenHelpPage;

  int ShowMessage(HWND owner, const std::u16string& text, UINT type);
  // The one error box: the failure's text, an error icon, OK.
  void ShowError(HWND owner, const std::u16string& text);
};

enum class TControlKind {
  Panel, Label, Button, TabControl, TrackBar, ToolBar, Picture,
  CheckBox, RadioButton, Edit, ComboBox, ListBox, GroupBox, TreeView, StatusBar,
};
enum class TAlign { None, Top, Bottom, Left, Right, Client };
// How an unaligned control follows its parent's width: akStretch keeps its
// right margin by growing, akRight keeps it by moving.
enum class TAnchor { akLeft, akStretch, akRight };

struct TFontDef {
  const wchar_t* Name = nullptr;  // null: the form's font
  int Height = 0;                 // logical height at 96 DPI, negative for the em height
  bool Bold = false;
};

struct TControlDef {
  TControlKind Kind;
  const char* Name;
  const char* Parent;  // null: the form itself
  TAlign Align = TAlign::None;
  int Left = 0, Top = 0, Width = 0, Height = 0;  // at 96 DPI
  const wchar_t* Text = L"";
  TFontDef Font = {};
  DWORD Style = 0;  // added to the kind's own styles
  DWORD ExStyle = 0;
  int Id = 0;
  UINT Edge = 0;  // a panel's bevel: DrawEdge's BDR_* flags
  TAnchor Anchor = TAnchor::akLeft;
};

struct TFormDef {
  const wchar_t* Caption;
  DWORD Style;
  DWORD ExStyle;
  int Left, Top;  // at 96 DPI; CW_USEDEFAULT for Left centres the form on the screen
  int Width, Height;
  bool ClientSize;  // Width and Height give the client area, not the frame
  TFontDef Font;
  int MinWidth = 0, MinHeight = 0;  // the frame's smallest size at 96 DPI; 0: none
};

// Check boxes and radio buttons ticked or not; a window's whole text.
bool Checked(HWND button);
void SetChecked(HWND button, bool checked);
std::u16string WindowText(HWND window);

class Form {
 public:
  explicit Form(TApplication& app) : App(app) {}
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  HWND Handle() const { return FHandle; }
  // A control of the table by its name; null when there is none.
  HWND Control(std::string_view name) const;
  // A length at 96 DPI in the window's pixels.
  int Scale(int length) const { return MulDiv(length, static_cast<int>(FDpi), 96); }
  UINT Dpi() const { return FDpi; }
  // Places every aligned or anchored control again, parents before children.
  void Realign();
  // Shows page `index` of a tab control whose pages are captioned panels
  // (a tab change does it by itself) and hides the others.
  void ShowPage(std::string_view pageControl, int index);

  // Shows the form with its owner disabled until ModalResult is set. The
  // keyboard works as in any dialog: Tab, the arrows, Enter (IDOK), Esc
  // (IDCANCEL) and Alt+letter.
  int ShowModal(HWND owner);
  // What the modal loop does with a message before dispatching it: true
  // when the form's keys or the dialog keys took it.
  bool ProcessDialogMessage(MSG& msg);
  int ModalResult = 0;

  TApplication& App;

 protected:
  void CreateForm(const TFormDef& form, std::span<const TControlDef> controls, HWND owner);
  // The form's own message handling; the base lays out on WM_SIZE, follows
  // WM_DPICHANGED and passes the rest to DefWindowProc.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The table name of a control window; null when it is none of ours.
  const char* ControlName(HWND control) const;
  // The design (96 DPI) definition of a control; null when there is none.
  const TControlDef* Definition(std::string_view name) const;
  // Sees every message of the modal loop before the dialog keys do; true
  // when it was handled.
  virtual bool PreTranslateMessage(MSG&) { return false; }
  HFONT FormFont() const { return FFonts.empty() ? nullptr : FFonts.front().Get(); }

 private:
  struct TControl {
    const TControlDef* Def;
    HWND Handle;
    HFONT Font;
  };
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  HFONT MakeFont(const TFontDef& font);
  void CreateControls();
  void AlignChildren(const char* parent, RECT area);
  // The client width a parent (null: the form) has at its design size.
  int DesignClientWidth(const char* parent) const;

  HWND FHandle = nullptr;
  bool FModal = false;
  UINT FDpi = 96;
  const TFormDef* FDef = nullptr;
  std::span<const TControlDef> FDefs;
  std::vector<TControl> FControls;
  std::vector<UniqueFont> FFonts;  // the form's font first
};

// The system's file-open dialog, opened in initialDir. The filter is pairs
// of a description and a pattern list separated by "|"; the first pair is
// preselected. True with the chosen file's full path, of any length; false
// when the user cancels.
// With a title the dialog is titled so; with keepShortcuts a shortcut is
// returned as the shortcut, not as its target.
bool OpenFileDialog(HWND owner, std::u16string_view filter, const std::u16string& initialDir,
                    std::u16string& fileName, const wchar_t* title = nullptr, bool keepShortcuts = false);
// The same for several files at once, the dialog titled `title`: their full
// paths in the order the dialog gives them. A shortcut is returned as the
// shortcut, not as its target.
bool OpenFilesDialog(HWND owner, const wchar_t* title, std::u16string_view filter, const std::u16string& initialDir,
                     std::vector<std::u16string>& fileNames);
// The system's folder chooser, titled `title`, opened at `initial` (when
// given); true with the chosen folder's path.
bool ChooseFolderDialog(HWND owner, const wchar_t* title, const std::u16string& initial, std::u16string& folder);
