#include "core/filedrag.h"

TDroppedName SplitDroppedName(std::u16string_view fullName) {
  const std::size_t slash = fullName.rfind(u'\\');
  const std::u16string_view name = slash == std::u16string_view::npos ? fullName : fullName.substr(slash + 1);
  const std::size_t dot = name.find(u'.');
  return {std::u16string(fullName), std::u16string(name),
          dot == std::u16string_view::npos ? std::u16string() : std::u16string(name.substr(dot + 1))};
}

void TDroppedFiles::Assign(const std::vector<std::u16string>& fullNames) {
  NameWithPath.clear();
  NameOnly.clear();
  Extension.clear();
  for (const std::u16string& full : fullNames) {
    TDroppedName split = SplitDroppedName(full);
    NameWithPath.push_back(std::move(split.NameWithPath));
    NameOnly.push_back(std::move(split.NameOnly));
    Extension.push_back(std::move(split.Extension));
  }
  FileCount = static_cast<int>(NameWithPath.size());
}

std::u16string DroppedTitle(std::u16string_view nameOnly) {
  const std::size_t dot = nameOnly.find(u'.');
  if (dot == 0 || dot == std::u16string_view::npos) return std::u16string(nameOnly);
  return std::u16string(nameOnly.substr(0, dot));
}

std::u16string DroppedFolder(std::u16string_view nameWithPath) {
  const std::size_t slash = nameWithPath.rfind(u'\\');
  if (slash == std::u16string_view::npos) return {};
  // "C:" alone would mean the drive's current folder, not its root.
  if (slash == 2 && nameWithPath[1] == u':') return std::u16string(nameWithPath.substr(0, 3));
  return std::u16string(nameWithPath.substr(0, slash));
}

TAppItem& AddDroppedEntry(TAppCollection& apps, std::u16string_view nameWithPath) {
  TAppItem& entry = apps.Add();
  entry.Command = std::u16string(nameWithPath);
  entry.Title = DroppedTitle(SplitDroppedName(nameWithPath).NameOnly);
  entry.Hint = entry.Title;
  entry.Directory = DroppedFolder(nameWithPath);
  entry.WindowState = u"N";
  entry.DialogType = u"N";
  return entry;
}
