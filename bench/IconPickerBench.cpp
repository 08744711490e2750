// The icon picker's costly steps under the real API, next to the bare
// extraction they rest on, with the dialog on the screen as a user sees it
// (large icons, the size the entry editor opens it at):
//   - the first screen: Load of a library and the list painted once, which
//     extracts the icons in sight;
//   - the full Load: the same, then the list scrolled page by page to its
//     end, so that every icon is extracted and drawn;
//   - the bare extraction of the same icons: one call per icon at the list's
//     size, and the older way, both sizes a call (ExtractIconExW);
//   - a switch to cursor mode, painted.
//
//   icon_picker_bench LIBRARY [RUNS]
//
// Prints min, median and max of RUNS (default 15, at least 15) of each, in
// milliseconds, each beside its floor, and whether the targets are met: the
// first screen at most 1.5 times the bare extraction of its icons and under
// 150 ms, the cursor mode under 50 ms.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "win32/IconGlyphPickEdt.h"

namespace {

double Milliseconds(const std::function<void()>& run) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  run();
  QueryPerformanceCounter(&end);
  return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct TStats {
  double Min, Median, Max;
};

// A figure: what is timed, and what puts things back after it, untimed.
struct TFigure {
  std::function<void()> Run, After = [] {};
};

// The runs of the figures are interleaved, so that a slow spell of the
// machine falls on all of them alike.
std::vector<TStats> Measure(int runs, const std::vector<TFigure>& figures) {
  for (const auto& f : figures) {  // warm: the file in the cache, the lists made
    f.Run();
    f.After();
  }
  std::vector<std::vector<double>> times(figures.size());
  for (int i = 0; i < runs; ++i) {
    for (std::size_t f = 0; f < figures.size(); ++f) {
      times[f].push_back(Milliseconds(figures[f].Run));
      figures[f].After();
    }
  }
  std::vector<TStats> stats;
  for (auto& t : times) {
    std::sort(t.begin(), t.end());
    stats.push_back({t.front(), t[t.size() / 2], t.back()});
  }
  return stats;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: icon_picker_bench LIBRARY [RUNS]\n");
    return 2;
  }
  const std::wstring library = argv[1];
  const int runs = std::max(15, argc > 2 ? _wtoi(argv[2]) : 15);
  const UINT count = ExtractIconExW(library.c_str(), -1, nullptr, nullptr, 0);
  if (count == 0 || count == UINT_MAX) {
    std::fprintf(stderr, "icon_picker_bench: no icons in %ls\n", library.c_str());
    return 2;
  }
  TApplication app(GetModuleHandleW(nullptr));
  TIconGlyphPickEditDlg dlg(app);
  dlg.Create(nullptr);
  dlg.AllowFile = dlg.AllowCursor = true;
  ShowWindow(dlg.Handle(), SW_SHOWNORMAL);
  SendMessageW(dlg.isbLarge.Handle(), BM_CLICK, 0, 0);
  Pump();
  const HWND list = dlg.Control("IconList");
  const std::u16string name(library.begin(), library.end());

  // As a user's Load in file mode: the list holds the last Load's items.
  const auto firstScreen = [&] {
    dlg.LoadIconsFromFile(name);
    UpdateWindow(list);
  };
  firstScreen();
  // The items in sight after Load.
  RECT client{};
  GetClientRect(list, &client);
  int seen = 0;
  for (int i = 0; i < static_cast<int>(count); ++i) {
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
    if (r.left >= client.right) break;
    seen = i + 1;
  }
  const SIZE large{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  const std::wstring systemName = SystemFileName(name);
  const auto bare = [&](int icons) {
    return [&, icons] {
      for (int i = 0; i < icons; ++i) ExtractIconOfSize(systemName, i, large);
    };
  };
  const auto pairs = [&](int icons) {
    return [&, icons] {
      ExtractIconExW(library.c_str(), -1, nullptr, nullptr, 0);
      for (int i = 0; i < icons; ++i) {
        HICON l = nullptr, s = nullptr;
        if (ExtractIconExW(library.c_str(), i, &l, &s, 1) == 0) continue;
        DestroyIcon(l);
        DestroyIcon(s);
      }
    };
  };
  // The picker's own way: the icons made from the module's resources, the
  // module held open as data (the library's groups are numbered from 1).
  const HMODULE module =
      LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  const auto resource = [&](LPCWSTR id, LPCWSTR type, DWORD& size) {
    const HRSRC found = FindResourceW(module, id, type);
    size = found ? SizeofResource(module, found) : 0;
    return found ? static_cast<PBYTE>(LockResource(LoadResource(module, found))) : nullptr;
  };
  const auto fromModule = [&](int icons) {
    return [&, icons] {
      for (int i = 0; i < icons; ++i) {
        DWORD size = 0;
        const PBYTE directory = resource(MAKEINTRESOURCEW(i + 1), RT_GROUP_ICON, size);
        const int id = directory ? LookupIconIdFromDirectoryEx(directory, TRUE, large.cx, large.cy, LR_DEFAULTCOLOR) : 0;
        const PBYTE image = id > 0 ? resource(MAKEINTRESOURCEW(id), RT_ICON, size) : nullptr;
        if (image)
          DestroyIcon(CreateIconFromResourceEx(image, size, TRUE, 0x00030000, large.cx, large.cy, LR_DEFAULTCOLOR));
      }
    };
  };
  const auto fullLoad = [&] {
    firstScreen();
    const int items = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int top = seen; top < items; top += seen) {
      SendMessageW(list, LB_SETTOPINDEX, top, 0);
      UpdateWindow(list);
    }
  };
  LRESULT cursorItems = 0;
  const auto cursorMode = [&] {
    SendMessageW(dlg.sbtnCursor.Handle(), BM_CLICK, 0, 0);
    UpdateWindow(list);
  };
  const auto backToFiles = [&] {
    cursorItems = SendMessageW(list, LB_GETCOUNT, 0, 0);
    SendMessageW(dlg.isbFile.Handle(), BM_CLICK, 0, 0);
  };
  const std::vector<TStats> s =
      Measure(runs, {{firstScreen}, {bare(seen)}, {pairs(seen)}, {fullLoad}, {bare(int(count))}, {pairs(int(count))},
                     {cursorMode, backToFiles}, {fromModule(seen)}, {fromModule(int(count))}});
  FreeLibrary(module);
  firstScreen();
  const LRESULT items = SendMessageW(list, LB_GETCOUNT, 0, 0);

  std::printf("icon picker, %u icons in %ls, large icons, %d in sight; %d runs, ms\n", count, library.c_str(), seen,
              runs);
  std::printf("  %-44s %8s %8s %8s  %s\n", "", "min", "median", "max", "to the floor: medians (mins)");
  const auto row = [](const char* what, const TStats& t, const TStats* floor) {
    std::printf("  %-44s %8.1f %8.1f %8.1f", what, t.Min, t.Median, t.Max);
    if (floor) std::printf("  %.2fx (%.2fx)", t.Median / floor->Median, t.Min / floor->Min);
    std::printf("\n");
  };
  row("first screen: Load, list painted", s[0], &s[1]);
  row("  floor: bare extraction of those icons", s[1], nullptr);
  row("  (both sizes a call, ExtractIconExW)", s[2], nullptr);
  row("  (made from the module held open, as Load)", s[7], nullptr);
  row("full Load: every item scrolled to and drawn", s[3], &s[4]);
  row("  floor: bare extraction of all icons", s[4], nullptr);
  row("  (both sizes a call, ExtractIconExW)", s[5], nullptr);
  row("  (made from the module held open, as Load)", s[8], nullptr);
  char cursorRow[64];
  std::snprintf(cursorRow, sizeof cursorRow, "switch to cursor mode (%d cursors), painted", static_cast<int>(cursorItems));
  row(cursorRow, s[6], nullptr);
  const bool met = s[0].Median <= 1.5 * s[1].Median && s[0].Median < 150.0 && s[6].Median < 50.0 &&
                   items == static_cast<LRESULT>(count);
  std::printf("targets (first screen <= 1.5x its extraction and < 150 ms, cursor mode < 50 ms): %s\n",
              met ? "met" : "MISSED");
  return 0;
}
