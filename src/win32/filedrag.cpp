#include "win32/filedrag.h"

#include <commctrl.h>

#include "core/Errors.h"
#include "core/TextCodec.h"
#include "win32/WinSupport.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x46447267;  // one subclass of ours per window

// Releases the shell's drop data however the reading ends.
class TDropRelease {
 public:
  explicit TDropRelease(HDROP drop) : FDrop(drop) {}
  ~TDropRelease() { DragFinish(FDrop); }
  TDropRelease(const TDropRelease&) = delete;
  TDropRelease& operator=(const TDropRelease&) = delete;

 private:
  HDROP FDrop;
};

}  // namespace

std::vector<std::u16string> DroppedFileNames(HDROP drop) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::u16string> names;
  names.reserve(count);
  std::wstring name;
  for (UINT i = 0; i < count; ++i) {
    // The length first: names have no upper limit.
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    name.assign(length + 1, L'\0');
    name.resize(DragQueryFileW(drop, i, name.data(), length + 1));
    names.push_back(U16(name));
  }
  return names;
}

TFileDrag::~TFileDrag() {
  const HWND window = FWindow;
  UnhookWindow();
  if (window) DragAcceptFiles(window, FALSE);
}

void TFileDrag::SetDropWindow(HWND window) {
  if (FWindow && FWindow != window) {
    // The window let go of must not go on taking drops that no one reads.
    DragAcceptFiles(FWindow, FALSE);
    UnhookWindow();
  }
  if (window && window != FWindow) {
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
      throw Exception(SysErrorMessage(GetLastError()));
    FWindow = window;
  }
  SetEnableDrop(FEnableDrop);
}

void TFileDrag::SetEnableDrop(bool enable) {
  FEnableDrop = enable;
  if (!FWindow) return;
  DragAcceptFiles(FWindow, enable ? TRUE : FALSE);
  if (enable)  // WM_COPYGLOBALDATA (0x49) carries the drop's data across
    for (const UINT message : {UINT(WM_DROPFILES), UINT(WM_COPYDATA), 0x0049u})
      MessageFilter(FWindow, message, MSGFLT_ALLOW, nullptr);
}

void TFileDrag::UnhookWindow() {
  if (!FWindow) return;
  RemoveWindowSubclass(FWindow, SubclassProc, kSubclassId);
  FWindow = nullptr;
}

void TFileDrag::ReadDroppedFiles(HDROP drop) {
  const TDropRelease release(drop);
  FFiles.Assign(DroppedFileNames(drop));
  // The handler may replace itself: keep a copy while it runs.
  if (const auto handler = OnDrop) handler(*this);
}

void TFileDrag::ReportException(const std::exception& e) {
  if (OnException) {
    OnException(e);
    return;
  }
  ShowExceptionBox(FWindow, e);
}

LRESULT CALLBACK TFileDrag::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) noexcept {
  auto* self = reinterpret_cast<TFileDrag*>(data);
  switch (message) {
    case WM_DROPFILES:
      // The drop is ours alone: the window behind never sees it.
      try {
        try {
          self->ReadDroppedFiles(reinterpret_cast<HDROP>(wParam));
        } catch (const std::exception& e) {
          self->ReportException(e);
        } catch (...) {
          self->ReportException(Exception(std::string_view("Unknown error")));
        }
      } catch (...) {
        // Nothing may leave a window procedure, not even a failed report.
      }
      return 0;
    case WM_NCDESTROY:
      // The window goes before us: let it go cleanly.
      self->UnhookWindow();
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}
