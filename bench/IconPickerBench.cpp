// The icon picker's two costly steps under the real API, next to the bare
// extraction they rest on:
//   - Load: every icon of a library into the picker's lists and items
//     (LoadIconsFromFile, the dialog created but not shown);
//   - the bare extraction: the same ExtractIconExW calls alone, one index at
//     a time as Load makes them, and one call for all of them;
//   - a switch to cursor mode (the button pressed).
//
//   icon_picker_bench LIBRARY [RUNS]
//
// Prints the median of RUNS (default 15) of each, in milliseconds, and the
// ratios, and whether the targets are met: Load at most 1.5 times the bare
// extraction, the cursor mode under 50 ms.
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

double Median(int runs, const std::function<void()>& run) {
  run();  // warm: the file in the cache, the lists made
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(Milliseconds(run));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: icon_picker_bench LIBRARY [RUNS]\n");
    return 2;
  }
  const std::wstring library = argv[1];
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 15;
  const UINT count = ExtractIconExW(library.c_str(), -1, nullptr, nullptr, 0);
  if (count == 0 || count == UINT_MAX) {
    std::fprintf(stderr, "icon_picker_bench: no icons in %ls\n", library.c_str());
    return 2;
  }
  TApplication app(GetModuleHandleW(nullptr));
  TIconGlyphPickEditDlg dlg(app);
  dlg.Create(nullptr);
  const HWND list = dlg.Control("IconList");

  const double oneByOne = Median(runs, [&] {
    ExtractIconExW(library.c_str(), -1, nullptr, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      HICON large = nullptr, small = nullptr;
      if (ExtractIconExW(library.c_str(), static_cast<int>(i), &large, &small, 1) == 0) continue;
      DestroyIcon(large);
      DestroyIcon(small);
    }
  });
  const double allAtOnce = Median(runs, [&] {
    std::vector<HICON> large(count), small(count);
    const UINT got = ExtractIconExW(library.c_str(), 0, large.data(), small.data(), count);
    for (UINT i = 0; i < count && got != UINT_MAX; ++i) {
      if (large[i]) DestroyIcon(large[i]);
      if (small[i]) DestroyIcon(small[i]);
    }
  });
  // What Load adds to the extraction: copying each icon into the two lists.
  std::vector<HICON> large(count), small(count);
  for (UINT i = 0; i < count; ++i) ExtractIconExW(library.c_str(), static_cast<int>(i), &large[i], &small[i], 1);
  const double copies = Median(runs, [&] {
    TImageList a(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    TImageList b(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    for (UINT i = 0; i < count; ++i) {
      a.AddIcon(large[i]);
      b.AddIcon(small[i]);
    }
  });
  for (UINT i = 0; i < count; ++i) {
    DestroyIcon(large[i]);
    DestroyIcon(small[i]);
  }
  const std::u16string name(library.begin(), library.end());
  const double load = Median(runs, [&] { dlg.LoadIconsFromFile(name); });
  const LRESULT items = SendMessageW(list, LB_GETCOUNT, 0, 0);
  const double cursors = Median(runs, [&] {
    SendMessageW(dlg.isbFile.Handle(), BM_CLICK, 0, 0);
    SendMessageW(dlg.sbtnCursor.Handle(), BM_CLICK, 0, 0);
  });
  const LRESULT cursorItems = SendMessageW(list, LB_GETCOUNT, 0, 0);

  std::printf("icon picker, %u icons in %ls, median of %d runs\n", count, library.c_str(), runs);
  std::printf("  bare extraction, one index a call   %8.1f ms\n", oneByOne);
  std::printf("  bare extraction, all in one call    %8.1f ms   (Wine fills only the first pair)\n", allAtOnce);
  std::printf("  copying them into two image lists   %8.1f ms\n", copies);
  std::printf("  Load into the picker (%4d items)    %8.1f ms   %.2fx the one-index extraction\n",
              static_cast<int>(items), load, load / oneByOne);
  std::printf("  switch to cursor mode (%2d cursors)  %8.1f ms\n", static_cast<int>(cursorItems), cursors);
  const bool met = load <= 1.5 * oneByOne && cursors < 50.0 && items == static_cast<LRESULT>(count);
  std::printf("targets (Load <= 1.5x extraction, cursor mode < 50 ms): %s\n", met ? "met" : "MISSED");
  return 0;
}
