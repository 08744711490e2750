// How long Dorvane takes from process start to its main window shown and
// painted, next to a program that shows one empty window (MinimalWindow).
//
//   startup_bench settings FILE [typical]
//       writes the settings the measurement uses: 99 groups, 50 entries in
//       the first one (the tab shown at start-up), 10 in each of the others,
//       large buttons; with "typical", a desk as most are: 10 groups of 12.
//       The commands are real programs of this system.
//   startup_bench measure RUNS MINIMAL_EXE DORVANE_EXE [NO_GROUPS_EXE [TYPICAL_EXE]]
//       starts each program RUNS times, in turns, and prints the table;
//       NO_GROUPS_EXE is Dorvane in a folder without a settings file,
//       TYPICAL_EXE one beside the typical desk.
//
// Each program starts in its own folder (Dorvane reads the settings file
// beside it). The clock starts before CreateProcessW and stops when
//   - WaitForInputIdle has returned: the program's message loop ran out of
//     work, which comes after the first paint, and
//   - the program's main window is visible and neither it nor any visible
//     window inside it has anything left to paint.
// The second check keeps the figure honest should the idle signal come
// early (a message peeked before the main window exists).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "core/DataClasses.h"
#include "core/TextCodec.h"
#include "core/uCompStream.h"

namespace {

struct TDeskShape {
  int Groups, FirstGroupEntries, OtherGroupEntries;
};
constexpr TDeskShape kLargeDesk{99, 50, 10};
constexpr TDeskShape kTypicalDesk{10, 12, 12};
constexpr DWORD kStartLimitMs = 30000;
// Between two starts: lets the ended program's windows leave the display
// before the next one is timed.
constexpr DWORD kSettleMs = 200;

std::u16string U16(const std::wstring& s) { return {s.begin(), s.end()}; }

std::wstring Folder(UINT (*get)(LPWSTR, UINT)) {
  wchar_t dir[MAX_PATH];
  const UINT n = get(dir, MAX_PATH);
  return n && n < MAX_PATH ? std::wstring(dir, n) + L"\\" : std::wstring();
}

UINT WindowsFolder(LPWSTR dir, UINT size) { return GetWindowsDirectoryW(dir, size); }
UINT SystemFolder(LPWSTR dir, UINT size) { return GetSystemDirectoryW(dir, size); }

// The programs the entries start: whatever executables this system has in
// its Windows and system folders, in name order so that every run of the
// benchmark writes the same file on the same system.
std::vector<std::wstring> SystemPrograms() {
  std::vector<std::wstring> programs;
  for (const std::wstring& dir : {Folder(WindowsFolder), Folder(SystemFolder)}) {
    if (dir.empty()) continue;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((dir + L"*.exe").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    std::vector<std::wstring> here;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) here.push_back(dir + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(here.begin(), here.end());
    programs.insert(programs.end(), here.begin(), here.end());
  }
  return programs;
}

std::wstring BaseName(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

int WriteSettings(const std::wstring& file, const TDeskShape& shape) {
  const std::vector<std::wstring> programs = SystemPrograms();
  if (programs.empty()) {
    std::fwprintf(stderr, L"startup_bench: no executables found in the Windows folders\n");
    return 1;
  }
  TSkiffData data;
  data.BtnSize = 2;
  data.VertBarLineBreak = true;
  data.ExpStartDir = u"C:\\users";
  std::size_t next = 0;
  for (int g = 0; g < shape.Groups; ++g) {
    TGroupItem& group = data.Groups.Add();
    group.Name = Widen("Group " + std::to_string(g + 1));
    const int count = g == 0 ? shape.FirstGroupEntries : shape.OtherGroupEntries;
    for (int a = 0; a < count; ++a) {
      const std::wstring& program = programs[next++ % programs.size()];
      TAppItem& entry = group.Apps.Add();
      entry.Title = Widen("Program " + std::to_string(a + 1));
      entry.Command = U16(program);
      entry.WindowState = u"N";
      entry.DialogType = u"N";
      // Mostly the shell's icon for the file, as most desks have it; every
      // fourth names the file's first icon itself.
      if (a % 4 == 3) entry.IconLocation = U16(program + L",0");
      entry.Hint = u"Starts " + U16(BaseName(program));
    }
  }
  const std::string text = ComponentToText(data);
  const HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
  DWORD written = 0;
  const bool ok = out != INVALID_HANDLE_VALUE &&
                  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (!ok) {
    std::fwprintf(stderr, L"startup_bench: cannot write %ls (error %lu)\n", file.c_str(), GetLastError());
    return 1;
  }
  std::wprintf(L"startup_bench: wrote %ls: %d groups, %d entries in the first, commands from %u programs\n",
               file.c_str(), shape.Groups, shape.FirstGroupEntries, static_cast<unsigned>(programs.size()));
  return 0;
}

// ----------------------------------------------------------- one start

struct TProgram {
  const wchar_t* Name;
  std::wstring Exe;
  std::wstring Folder;
  const wchar_t* Class;    // the main window's class; null for any
  const wchar_t* Caption;  // and its caption
  bool Closes;             // ends on WM_CLOSE without asking
  std::vector<double> Ms;  // one figure per timed start
};

struct TSearch {
  DWORD Process;
  const TProgram* Program;
  HWND Window;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<TSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != s->Process || !IsWindowVisible(window)) return TRUE;
  // Dorvane's splash window is of the main window's class, without a caption.
  if (!(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION)) return TRUE;
  wchar_t text[64] = {};
  if (s->Program->Class && (!GetClassNameW(window, text, 64) || std::wcscmp(text, s->Program->Class) != 0))
    return TRUE;
  if (s->Program->Caption && (!GetWindowTextW(window, text, 64) || std::wcscmp(text, s->Program->Caption) != 0))
    return TRUE;
  s->Window = window;
  return FALSE;
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
  }
  return TRUE;
}

bool Painted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool unpainted = false;
  EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

double Elapsed(const LARGE_INTEGER& from, LONGLONG frequency) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

// Starts the program once and returns the milliseconds until its window was
// shown and painted; a negative value when it failed.
double TimeStart(const TProgram& program, LONGLONG frequency) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + program.Exe + L"\"";
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program.Exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      program.Folder.c_str(), &si, &pi)) {
    std::fwprintf(stderr, L"startup_bench: cannot start %ls (error %lu)\n", program.Exe.c_str(), GetLastError());
    return -1;
  }
  double ms = -1;
  HWND window = nullptr;
  const DWORD idle = WaitForInputIdle(pi.hProcess, kStartLimitMs);
  if (idle == 0) {
    while (Elapsed(start, frequency) < kStartLimitMs) {
      TSearch search{pi.dwProcessId, &program, nullptr};
      EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
      if (search.Window && Painted(search.Window)) {
        ms = Elapsed(start, frequency);
        window = search.Window;
        break;
      }
      if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;  // it ended without a window
    }
  }
  if (ms < 0)
    std::fwprintf(stderr, L"startup_bench: %ls showed no painted main window within %lu ms (idle wait: %lu)\n",
                  program.Name, kStartLimitMs, idle);

  // Dorvane asks before it closes, so it is ended from outside.
  if (!(window && program.Closes && PostMessageW(window, WM_CLOSE, 0, 0) &&
        WaitForSingleObject(pi.hProcess, 5000) == WAIT_OBJECT_0))
    TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return ms;
}

// ------------------------------------------------------------- the table

struct TStats {
  double Min, Median, Mean, Max;
};

TStats Statistics(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  return {v.front(), median, std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(n), v.back()};
}

std::wstring FolderOf(const std::wstring& exe) {
  wchar_t full[MAX_PATH];
  wchar_t* name = nullptr;
  const DWORD n = GetFullPathNameW(exe.c_str(), MAX_PATH, full, &name);
  if (!n || n >= MAX_PATH || !name) return {};
  return std::wstring(full, name);
}

int Measure(int runs, const std::wstring& minimalExe, const std::wstring& dorvaneExe, const std::wstring& emptyExe,
            const std::wstring& typicalExe) {
  std::vector<TProgram> programs = {
      {L"Minimal", minimalExe, FolderOf(minimalExe), nullptr, L"Minimal", true, {}},
      {L"Dorvane", dorvaneExe, FolderOf(dorvaneExe), L"DorvaneForm", L"Dorvane", false, {}}};
  // The same program without a settings file: what the window itself costs,
  // apart from the groups and buttons.
  if (!emptyExe.empty())
    programs.push_back({L"No groups", emptyExe, FolderOf(emptyExe), L"DorvaneForm", L"Dorvane", false, {}});
  if (!typicalExe.empty())
    programs.push_back({L"Typical", typicalExe, FolderOf(typicalExe), L"DorvaneForm", L"Dorvane", false, {}});
  for (const TProgram& p : programs) {
    if (p.Folder.empty() || GetFileAttributesW(p.Exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
      std::fwprintf(stderr, L"startup_bench: no program %ls\n", p.Exe.c_str());
      return 1;
    }
  }
  if (GetFileAttributesW((programs[1].Folder + L"SkiffData.dat").c_str()) == INVALID_FILE_ATTRIBUTES) {
    std::fwprintf(stderr, L"startup_bench: no SkiffData.dat beside %ls (write it with: startup_bench settings)\n",
                  programs[1].Exe.c_str());
    return 1;
  }
  if (programs.size() > 2 &&
      GetFileAttributesW((programs[2].Folder + L"SkiffData.dat").c_str()) != INVALID_FILE_ATTRIBUTES) {
    std::fwprintf(stderr, L"startup_bench: %ls is to start without a settings file\n", programs[2].Exe.c_str());
    return 1;
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);

  // One untimed start each: the first start of a program pays for reading
  // its files from disk.
  for (const TProgram& p : programs) {
    if (TimeStart(p, frequency.QuadPart) < 0) return 1;
    Sleep(kSettleMs);
  }
  // In turns, each round starting with the next program, so that all see
  // the same machine and none always follows another.
  const std::size_t n = programs.size();
  for (int round = 0; round < runs; ++round) {
    for (std::size_t k = 0; k < n; ++k) {
      TProgram& p = programs[(static_cast<std::size_t>(round) + k) % n];
      const double ms = TimeStart(p, frequency.QuadPart);
      if (ms < 0) return 1;
      p.Ms.push_back(ms);
      Sleep(kSettleMs);
    }
  }

  std::wprintf(L"\nStart to main window shown and painted, %d starts each (ms):\n\n", runs);
  std::wprintf(L"  %-10ls %9ls %9ls %9ls %9ls %9ls\n", L"program", L"min", L"median", L"mean", L"max", L"median/");
  std::wprintf(L"  %-10ls %9ls %9ls %9ls %9ls %9ls\n", L"", L"", L"", L"", L"", L"Minimal");
  std::vector<TStats> stats;
  for (const TProgram& p : programs) {
    stats.push_back(Statistics(p.Ms));
    const TStats& s = stats.back();
    std::wprintf(L"  %-10ls %9.1f %9.1f %9.1f %9.1f %8.2fx\n", p.Name, s.Min, s.Median, s.Mean, s.Max,
                 s.Median / stats[0].Median);
  }
  // What each start may cost next to the bare window.
  const double targets[] = {1.0, 2.0, 1.3, 1.5};
  std::wprintf(L"\n");
  for (std::size_t i = 1; i < n; ++i)
    std::wprintf(L"  %-10ls / Minimal: median %.2fx, min %.2fx, max %.2fx (target: median at most %.1fx)\n",
                 programs[i].Name, stats[i].Median / stats[0].Median, stats[i].Min / stats[0].Min,
                 stats[i].Max / stats[0].Max, targets[i]);
  for (const TProgram& p : programs) {
    std::wprintf(L"\n  %-10ls", p.Name);
    for (double ms : p.Ms) std::wprintf(L" %.0f", ms);
  }
  std::wprintf(L"\n");
  return 0;
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: startup_bench settings FILE [typical]\n"
                L"       startup_bench measure RUNS MINIMAL_EXE DORVANE_EXE [NO_GROUPS_EXE [TYPICAL_EXE]]\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"settings") == 0) return WriteSettings(argv[2], kLargeDesk);
  if (argc == 4 && std::wcscmp(argv[1], L"settings") == 0 && std::wcscmp(argv[3], L"typical") == 0)
    return WriteSettings(argv[2], kTypicalDesk);
  if (argc >= 5 && argc <= 7 && std::wcscmp(argv[1], L"measure") == 0) {
    const int runs = _wtoi(argv[2]);
    if (runs < 1) return Usage();
    return Measure(runs, argv[3], argv[4], argc >= 6 ? argv[5] : L"", argc == 7 ? argv[6] : L"");
  }
  return Usage();
}
