#include "core/Just1_32.h"

std::u16string ExeFileNamePart(std::u16string_view path) {
  const std::size_t cut = path.find_last_of(u"\\/:");
  return std::u16string(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

std::u16string InstanceMutexName(std::u16string_view exePath) { return ExeFileNamePart(exePath); }

std::u16string InstanceSearchTitle(std::u16string_view fileName) {
  constexpr std::u16string_view kExe = u".exe";
  if (fileName.size() <= kExe.size()) return {};
  const std::u16string_view ext = fileName.substr(fileName.size() - kExe.size());
  for (std::size_t i = 0; i < kExe.size(); ++i) {
    const char16_t c = ext[i] >= u'A' && ext[i] <= u'Z' ? static_cast<char16_t>(ext[i] + 32) : ext[i];
    if (c != kExe[i]) return {};
  }
  return std::u16string(fileName.substr(0, fileName.size() - kExe.size()));
}
