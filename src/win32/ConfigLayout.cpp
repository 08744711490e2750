#include "win32/ConfigLayout.h"

#include <commctrl.h>

#include "win32/res/resource.h"

const TFormDef kConfigDef = {L"Dorvane Configuration",
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
                             WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                             CW_USEDEFAULT, 0, 500, 501, false, {L"MS Sans Serif", -11}, 500, 452};

namespace {

constexpr DWORD kOption = BS_NOTIFY;  // option check boxes report losing the focus
constexpr TAnchor kStretch = TAnchor::akStretch;

const TControlDef kConfigControls[] = {
    {TControlKind::StatusBar, "sbrMain", nullptr, TAlign::Bottom, 0, 0, 492, 19},
    {TControlKind::Panel, "BtnPanel", nullptr, TAlign::Bottom, 0, 0, 492, 34},
    {TControlKind::Button, "DoneBtn", "BtnPanel", TAlign::None, 5, 5, 75, 25, L"Done"},
    {TControlKind::TabControl, "PageControl", nullptr, TAlign::Client, 0, 0, 492, 414, L"", {}, TCS_HOTTRACK},
    {TControlKind::Panel, "AppTab", "PageControl", TAlign::Client, 0, 0, 484, 386, L"Applications"},
    {TControlKind::TreeView, "tvApps", "AppTab", TAlign::Left, 0, 0, 167, 386, L"", {},
     TVS_EDITLABELS | TVS_SHOWSELALWAYS},
    {TControlKind::Panel, "splConfig", "AppTab", TAlign::Left, 0, 0, kSplitterWidth, 386, L"", {}, 0, 0, 0,
     BDR_RAISEDINNER},
    {TControlKind::Panel, "pnlRight", "AppTab", TAlign::Client, 0, 0, 311, 386},
    {TControlKind::Panel, "pnlTrash", "pnlRight", TAlign::Bottom, 0, 0, 311, 36, L"", {}, 0, 0, 0, BDR_SUNKENOUTER},
    {TControlKind::Picture, "imgTrash", "pnlTrash", TAlign::None, 4, 2, 32, 32, L"", {}, SS_NOTIFY},
    {TControlKind::Button, "btnAddItem", "pnlTrash", TAlign::None, 229, 5, 75, 25, L"Add Item...", {}, 0, 0, 0, 0,
     TAnchor::akRight},
    {TControlKind::Panel, "pnlApps", "pnlRight", TAlign::Client, 0, 0, 309, 348, L"", {}, 0, 0, 0, BDR_SUNKENOUTER},
    {TControlKind::Label, "Label1", "pnlApps", TAlign::None, 6, 2, 120, 13, L"&Command"},
    {TControlKind::Edit, "edtCommand", "pnlApps", TAlign::None, 6, 16, 269, 21, L"", {}, 0, 0, 0, 0, kStretch},
    {TControlKind::Button, "btnBrowseCommand", "pnlApps", TAlign::None, 279, 15, 24, 23, L"...", {}, 0, 0, 0, 0,
     TAnchor::akRight},
    {TControlKind::Label, "Label2", "pnlApps", TAlign::None, 6, 41, 120, 13, L"&Parameters"},
    {TControlKind::Edit, "edtParameters", "pnlApps", TAlign::None, 6, 55, 297, 21, L"", {}, 0, 0, 0, 0, kStretch},
    {TControlKind::Label, "Label3", "pnlApps", TAlign::None, 6, 80, 120, 13, L"Start &directory"},
    {TControlKind::Edit, "edtStartDir", "pnlApps", TAlign::None, 6, 95, 269, 21, L"", {}, 0, 0, 0, 0, kStretch},
    {TControlKind::Button, "btnBrowseStartDir", "pnlApps", TAlign::None, 279, 94, 24, 23, L"...", {}, 0, 0, 0, 0,
     TAnchor::akRight},
    {TControlKind::Label, "Label4", "pnlApps", TAlign::None, 6, 121, 120, 13, L"&Hint"},
    {TControlKind::Edit, "edtHint", "pnlApps", TAlign::None, 6, 134, 297, 21, L"", {}, 0, 0, 0, 0, kStretch},
    {TControlKind::Label, "Label7", "pnlApps", TAlign::None, 6, 159, 85, 13, L"Dialog T&ype"},
    {TControlKind::ComboBox, "cbxDialogType", "pnlApps", TAlign::None, 6, 174, 85, 120},
    {TControlKind::Label, "Label5", "pnlApps", TAlign::None, 98, 159, 120, 13, L"Dialog Te&xt"},
    {TControlKind::Edit, "edtDialogText", "pnlApps", TAlign::None, 96, 174, 208, 21, L"", {}, 0, 0, 0, 0, kStretch},
    {TControlKind::Label, "Label8", "pnlApps", TAlign::None, 6, 198, 109, 13, L"&Window State"},
    {TControlKind::ComboBox, "cbxWindowState", "pnlApps", TAlign::None, 6, 213, 109, 120},
    {TControlKind::CheckBox, "chkMinimizeOnRun", "pnlApps", TAlign::None, 127, 206, 177, 17,
     L"&Minimize Dorvane on run", {}, BS_NOTIFY},
    {TControlKind::CheckBox, "chkIgnore", "pnlApps", TAlign::None, 127, 224, 161, 17, L"&Ignore Access Denied error",
     {}, BS_NOTIFY},
    {TControlKind::GroupBox, "grpIcon", "pnlApps", TAlign::None, 4, 240, 161, 98, L" Icon "},
    {TControlKind::Panel, "OptionsTab", "PageControl", TAlign::Client, 0, 0, 484, 386, L"Options"},
    {TControlKind::CheckBox, "HidePMCB", "OptionsTab", TAlign::None, 8, 6, 287, 17,
     L"Hide the Desktop Window on Dorvane startup", {}, kOption},
    {TControlKind::CheckBox, "FlatButtons", "OptionsTab", TAlign::None, 8, 24, 97, 17, L"Flat Buttons", {}, kOption},
    {TControlKind::CheckBox, "ProgramAsHint", "OptionsTab", TAlign::None, 8, 42, 168, 17,
     L"Use the Program as the hint", {}, kOption},
    {TControlKind::CheckBox, "HideTB", "OptionsTab", TAlign::None, 8, 60, 123, 17, L"Hide the Taskbar", {}, kOption},
    {TControlKind::CheckBox, "MinimizeCB", "OptionsTab", TAlign::None, 8, 78, 162, 17,
     L"Disable the minimize button", {}, kOption},
    {TControlKind::CheckBox, "ExplorerCB", "OptionsTab", TAlign::None, 8, 96, 205, 17,
     L"Disable Windows Explorer Button", {}, kOption},
    {TControlKind::CheckBox, "DesktopCB", "OptionsTab", TAlign::None, 8, 114, 202, 17,
     L"Disable Hide/Show Desktop Button", {}, kOption},
    {TControlKind::CheckBox, "CloseCB", "OptionsTab", TAlign::None, 8, 132, 140, 17, L"Disable Close Button", {},
     kOption},
    {TControlKind::CheckBox, "chkSingleLineTop", "OptionsTab", TAlign::None, 8, 151, 246, 17,
     L"Display single line of text on the top of a button", {}, kOption},
    {TControlKind::CheckBox, "chkVertBar", "OptionsTab", TAlign::None, 8, 168, 203, 17,
     L"Use vertical bar as line break in title", {}, kOption},
    {TControlKind::CheckBox, "ShowInfoCB", "OptionsTab", TAlign::None, 8, 187, 158, 17, L"Show the Information Tab",
     {}, kOption},
    // In the place of the information tab's box, which is never offered.
    {TControlKind::CheckBox, "chkBlockShellKeys", "OptionsTab", TAlign::None, 8, 187, 240, 17,
     L"Block the Windows key and shell shortcuts", {}, kOption},
    {TControlKind::GroupBox, "grpBeforeSSCmd", "OptionsTab", TAlign::None, 8, 211, 469, 76,
     L" Command to run prior to starting screen saver ", {}, 0, 0, 0, 0, kStretch},
    {TControlKind::Label, "lblSSExecutable", "grpBeforeSSCmd", TAlign::None, 19, 20, 56, 13, L"Program:"},
    {TControlKind::Edit, "edtBeforeSSCmd", "grpBeforeSSCmd", TAlign::None, 77, 16, 382, 21, L"", {}, 0, 0, 0, 0,
     kStretch},
    {TControlKind::Label, "lblParameters", "grpBeforeSSCmd", TAlign::None, 18, 48, 58, 13, L"Parameters:"},
    {TControlKind::Edit, "edtBeforeSSParams", "grpBeforeSSCmd", TAlign::None, 77, 44, 382, 21, L"", {}, 0, 0, 0, 0,
     kStretch},
    {TControlKind::GroupBox, "BtnSizeGroup", "OptionsTab", TAlign::None, 8, 292, 82, 72, L" Button Size "},
    {TControlKind::RadioButton, "rbMini", "BtnSizeGroup", TAlign::None, 8, 16, 66, 17, L"Mini", {},
     WS_GROUP | WS_TABSTOP | BS_NOTIFY},
    {TControlKind::RadioButton, "rbSmall", "BtnSizeGroup", TAlign::None, 8, 33, 66, 17, L"Small", {}, BS_NOTIFY},
    {TControlKind::RadioButton, "rbLarge", "BtnSizeGroup", TAlign::None, 8, 50, 66, 17, L"Large", {}, BS_NOTIFY},
    {TControlKind::GroupBox, "grpExplorer", "OptionsTab", TAlign::None, 98, 292, 379, 72,
     L"Explorer Startup Directory", {}, WS_GROUP, 0, 0, 0, kStretch},
    {TControlKind::Edit, "ExpStartDir", "grpExplorer", TAlign::None, 7, 20, 283, 21, L"", {}, 0, 0, 0, 0, kStretch},
    {TControlKind::Button, "BrowseDirBtn", "grpExplorer", TAlign::None, 296, 18, 75, 25, L"Browse", {}, 0, 0, 0, 0,
     TAnchor::akRight},
    {TControlKind::CheckBox, "RootCB", "grpExplorer", TAlign::None, 7, 47, 158, 17, L"Open as the root directory",
     {}, kOption},
};

}  // namespace

std::span<const TControlDef> ConfigControls() { return kConfigControls; }
