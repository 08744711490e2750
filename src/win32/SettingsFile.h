// The settings file as the main window keeps it for a run: which version of
// it the shown desk is, whether it may be written, and a watch on its folder
// that says when someone else has changed it.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "core/DataClasses.h"
#include "win32/WinSupport.h"

class TSettingsFile {
 public:
  explicit TSettingsFile(std::wstring path) : FPath(std::move(path)) {}
  TSettingsFile(const TSettingsFile&) = delete;
  TSettingsFile& operator=(const TSettingsFile&) = delete;
  ~TSettingsFile();

  const std::wstring& Path() const { return FPath; }
  // Reads the file, or the default text when there is none. The bytes read
  // are the version known from then on, also when the reader rejects them:
  // such a file is Rejected, and the next save first keeps it as .bad.
  std::unique_ptr<TSkiffData> Load();
  bool Rejected() const { return FRejected; }
  // The file on disk is not the version last read or written here. One
  // that cannot be read just now (being written) counts as changed.
  bool ChangedOnDisk() const;
  // A read-only file is how an administrator locks a desk: never written.
  bool ReadOnly() const;
  // Writes the settings in one replace. A rejected file is first moved to
  // .bad; with `keepOther`, the file on disk is first moved to .bak.
  void Save(const TSkiffData& data, bool keepOther = false);

  // From now on posts `message` to `window` whenever anything in the
  // file's folder is created, renamed, written or resized.
  void Watch(HWND window, UINT message);

 private:
  static DWORD WINAPI WatchThread(void* self);
  void MoveAside(const std::wstring& to) const;

  std::wstring FPath;
  std::optional<std::string> FKnown;  // nothing: there was no file
  bool FRejected = false;
  HANDLE FChange = INVALID_HANDLE_VALUE;  // closed by FindCloseChangeNotification
  UniqueHandle FStop;
  UniqueHandle FThread;
  HWND FWindow = nullptr;
  UINT FMessage = 0;
};
