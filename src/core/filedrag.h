// What a drop of files from the shell is made into: for each file its full
// name, its bare name and its extension, in three lists of equal length.
// The Windows side reads the names from the drop and hands them over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/DataClasses.h"

struct TDroppedName {
  std::u16string NameWithPath;
  std::u16string NameOnly;   // after the last "\"
  std::u16string Extension;  // after the first "." of the bare name, without it
};

// A name without any "\" is all bare name.
TDroppedName SplitDroppedName(std::u16string_view fullName);

// The names of the last drop, in the order the shell reported them.
struct TDroppedFiles {
  std::vector<std::u16string> NameWithPath;
  std::vector<std::u16string> NameOnly;
  std::vector<std::u16string> Extension;
  int FileCount = 0;

  // Replaces the lists with the names of a new drop.
  void Assign(const std::vector<std::u16string>& fullNames);
};

// What a dropped file's entry is titled: the bare name without the
// extension and its dot ("archive" for archive.tar.gz, "README" for README).
// A name that is all extension (".profile") keeps it, so the title is never
// empty.
std::u16string DroppedTitle(std::u16string_view nameOnly);
// The folder of a full name, without a trailing "\" ("C:\Tools" for
// C:\Tools\app.exe); the drive's root keeps its "\" ("C:\").
std::u16string DroppedFolder(std::u16string_view nameWithPath);

// A file made an entry by the drop's rules, appended to `apps`: titled
// after the file, its hint the title, started in the file's folder, normal
// window, no question, no icon of its own.
TAppItem& AddDroppedEntry(TAppCollection& apps, std::u16string_view nameWithPath);

// The group a new entry goes to when the desk has none yet.
inline constexpr char16_t kFirstGroupName[] = u"Programs";
