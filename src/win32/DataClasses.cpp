#include "win32/DataClasses.h"

#include <algorithm>

#include "core/Errors.h"
#include "core/uCompStream.h"
#include "win32/WinSupport.h"

namespace {

constexpr DWORD kWriteChunk = 64 * 1024;

[[noreturn]] void FileError(std::u16string_view pattern, const std::wstring& path, DWORD error) {
  throw EStreamError(Format(pattern, {U16(path), SysErrorMessage(error)}));
}

}  // namespace

HANDLE TSaveFileApi::Create(const std::wstring& path) {
  return CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool TSaveFileApi::Write(HANDLE file, const char* data, DWORD size, DWORD& written) {
  return WriteFile(file, data, size, &written, nullptr);
}

bool TSaveFileApi::Flush(HANDLE file) { return FlushFileBuffers(file); }

bool TSaveFileApi::Close(HANDLE file) { return CloseHandle(file); }

bool TSaveFileApi::Replace(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(ExtendedPath(from).c_str(), ExtendedPath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool TSaveFileApi::Remove(const std::wstring& path) { return DeleteFileW(ExtendedPath(path).c_str()); }

std::wstring SettingsFileName() {
  std::wstring exe = ExeFileName();
  exe.resize(exe.find_last_of(L"\\/") + 1);
  return exe + kSettingsFileName;
}

std::optional<std::string> ReadSettingsBytes(const std::wstring& path) {
  UniqueHandle file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
    FileError(u"Cannot open file \"%s\". %s", path, error);
  }
  std::string bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.Get(), &size)) bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  char buffer[kWriteChunk];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) throw EStreamError("Stream read error");
    if (read == 0) break;
    bytes.append(buffer, read);
  }
  return bytes;
}

std::unique_ptr<TSkiffData> LoadSettingsFile(const std::wstring& path) {
  const std::optional<std::string> bytes = ReadSettingsBytes(path);
  return FileToComponent(bytes ? *bytes : std::string(kDefaultSettingsText), AppendAnsiCodePage);
}

void SaveToFile(const TSkiffData& data, const std::wstring& path) {
  TSaveFileApi api;
  SaveToFile(data, path, api);
}

void SaveToFile(const TSkiffData& data, const std::wstring& path, TSaveFileApi& api) {
  const std::string text = ComponentToText(data);
  const std::wstring temp = path + L".tmp";
  HANDLE file = api.Create(temp);
  if (file == INVALID_HANDLE_VALUE) FileError(u"Cannot create file \"%s\". %s", path, GetLastError());
  try {
    for (std::size_t done = 0; done < text.size();) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(kWriteChunk, text.size() - done));
      if (!api.Write(file, text.data() + done, chunk, written) || written == 0)
        throw EStreamError("Stream write error");
      done += written;
    }
    if (!api.Flush(file)) throw EStreamError("Stream write error");
    HANDLE closing = file;
    file = nullptr;
    if (!api.Close(closing)) throw EStreamError("Stream write error");
    if (!api.Replace(temp, path)) FileError(u"Cannot create file \"%s\". %s", path, GetLastError());
  } catch (...) {
    if (file) api.Close(file);
    api.Remove(temp);
    throw;
  }
}
