// Dorvane's entry.
#include <windows.h>

#include <cstdlib>

#include "win32/ProgramEntry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunDorvane(instance); }

// The library's default answer to an escaped exception prints the exception's
// demangled type to stderr, which a window program does not have; the
// demangler and the printf behind it are a tenth of the program. Ending at
// once is what that handler does after printing.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
