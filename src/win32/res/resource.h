// Resource ids of Dorvane.exe, shared by Dorvane.rc and the program.
#pragma once

// The program icon: the lowest icon id, so Explorer shows it for the exe.
#define IDI_DORVANE     1

// Nine images side by side, 32-bit with straight alpha, for the 32-bit
// image list of the tool bars and the tray icon: 16 x 16 each, and drawn
// again at 20, 24 and 32 pixels for 125, 150 and 200 %.
#define IDB_TOOLIMAGES  101
#define IDB_TOOLIMAGES20 111
#define IDB_TOOLIMAGES24 112
#define IDB_TOOLIMAGES32 113
// The 307 x 298 picture of the splash window and the about box.
#define IDB_SPLASH      102
// The icon picker's three source buttons (file, cursor, system icons) side
// by side, 32-bit with straight alpha, at 16, 20, 24 and 32 pixels.
#define IDB_PICKER16    103
#define IDB_PICKER20    104
#define IDB_PICKER24    105
#define IDB_PICKER32    106

#ifndef VS_VERSION_INFO
#define VS_VERSION_INFO 1
#endif

// The configuration dialog's menu pictures: add, delete, rename (16 x 16 each).
#define IDB_CONFIGIMAGES 110
