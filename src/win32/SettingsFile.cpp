#include "win32/SettingsFile.h"

#include "core/Errors.h"
#include "core/SettingsFile.h"
#include "core/uCompStream.h"
#include "win32/DataClasses.h"

TSettingsFile::~TSettingsFile() {
  if (FThread) {
    SetEvent(FStop.Get());
    WaitForSingleObject(FThread.Get(), INFINITE);
  }
  if (FChange != INVALID_HANDLE_VALUE) FindCloseChangeNotification(FChange);
}

std::unique_ptr<TSkiffData> TSettingsFile::Load() {
  std::optional<std::string> bytes = ReadSettingsBytes(FPath);
  FKnown = std::move(bytes);
  FRejected = true;
  auto data = FileToComponent(FKnown ? *FKnown : std::string(kDefaultSettingsText), AppendAnsiCodePage);
  FRejected = false;
  return data;
}

bool TSettingsFile::ChangedOnDisk() const {
  try {
    return ReadSettingsBytes(FPath) != FKnown;
  } catch (const Exception&) {
    return true;
  }
}

bool TSettingsFile::ReadOnly() const {
  const DWORD attributes = GetFileAttributesW(ExtendedPath(FPath).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void TSettingsFile::MoveAside(const std::wstring& to) const {
  if (!MoveFileExW(ExtendedPath(FPath).c_str(), ExtendedPath(to).c_str(), MOVEFILE_REPLACE_EXISTING) &&
      GetLastError() != ERROR_FILE_NOT_FOUND)
    throw EStreamError(Format(u"Cannot create file \"%s\". %s", {U16(to), SysErrorMessage(GetLastError())}));
}

void TSettingsFile::Save(const TSkiffData& data, bool keepOther) {
  // What the administrator wrote stays for repair instead of being overwritten.
  if (FRejected) MoveAside(FPath + WStr(kBadSuffix));
  FRejected = false;
  if (keepOther) MoveAside(FPath + WStr(kBakSuffix));
  const std::string text = ComponentToText(data);
  ::SaveToFile(data, FPath);
  FKnown = text;  // our own save is no change by someone else
}

void TSettingsFile::Watch(HWND window, UINT message) {
  if (FThread) return;
  std::wstring folder = FPath.substr(0, FPath.find_last_of(L"\\/") + 1);
  FChange = FindFirstChangeNotificationW(ExtendedPath(folder).c_str(), FALSE,
                                         FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                             FILE_NOTIFY_CHANGE_SIZE);
  if (FChange == INVALID_HANDLE_VALUE) return;  // a folder that cannot be watched is only not followed
  FWindow = window;
  FMessage = message;
  FStop = UniqueHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  FThread = UniqueHandle(CreateThread(nullptr, 0, WatchThread, this, 0, nullptr));
}

// Only waits and posts: everything else happens on the window's thread.
DWORD WINAPI TSettingsFile::WatchThread(void* self) {
  auto& file = *static_cast<TSettingsFile*>(self);
  const HANDLE handles[] = {file.FStop.Get(), file.FChange};
  while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    PostMessageW(file.FWindow, file.FMessage, 0, 0);
    if (!FindNextChangeNotification(file.FChange)) break;
  }
  return 0;
}
