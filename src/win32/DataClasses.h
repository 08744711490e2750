// The settings file on disk: "SkiffData.dat" beside the executable.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "core/DataClasses.h"

inline constexpr wchar_t kSettingsFileName[] = L"SkiffData.dat";

// The file operations a save goes through; tests override them to make any
// step fail. The defaults call the system.
class TSaveFileApi {
 public:
  virtual ~TSaveFileApi() = default;
  virtual HANDLE Create(const std::wstring& path);
  virtual bool Write(HANDLE file, const char* data, DWORD size, DWORD& written);
  virtual bool Flush(HANDLE file);
  virtual bool Close(HANDLE file);
  virtual bool Replace(const std::wstring& from, const std::wstring& to);
  virtual bool Remove(const std::wstring& path);
};

// The folder of the executable plus "SkiffData.dat".
std::wstring SettingsFileName();

// The file's bytes as they are on disk; nothing when no file exists. Opened
// so that others may read but not write while it is read. Throws "Cannot
// open file "%s". %s".
std::optional<std::string> ReadSettingsBytes(const std::wstring& path);

// Reads the file, or the default text when there is none, into a new
// settings object. Throws the exact load error, with its place in the file.
std::unique_ptr<TSkiffData> LoadSettingsFile(const std::wstring& path);

// Writes the settings to a temporary file in the same folder and then puts
// it in place in one step, so that a failure at any point leaves the old
// file as it was. Throws "Cannot create file "%s". %s" or "Stream write error".
void SaveToFile(const TSkiffData& data, const std::wstring& path);
void SaveToFile(const TSkiffData& data, const std::wstring& path, TSaveFileApi& api);
