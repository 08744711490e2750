// The names a running copy of the program is known by, worked out from the
// executable's path alone. The Windows half (win32/Just1_32.h) creates the
// mutex and looks for the window.
#pragma once

#include <string>
#include <string_view>

// The file name of a path: what follows its last "\", "/" or drive colon.
std::u16string ExeFileNamePart(std::u16string_view path);

// The named mutex that marks a running copy: the executable's file name,
// extension included. Mutex names are compared with case while file names
// are not, so the Windows half folds it to one case before use.
std::u16string InstanceMutexName(std::u16string_view exePath);

// The title the first copy's window is looked for under: the file name
// without a final ".exe" in any letter case ("Dorvane.exe" gives "Dorvane").
// Empty when the name has no such extension: an empty title would match
// untitled windows of other programs, so none is searched then.
std::u16string InstanceSearchTitle(std::u16string_view fileName);
