// What the user is told about the settings file itself: where a file that
// cannot be read is at fault and what happens next, a locked file, and a
// file changed by someone else under an open dialog.
#pragma once

#include <string>
#include <string_view>

#include "core/Errors.h"

inline constexpr char16_t kBadSuffix[] = u".bad";
inline constexpr char16_t kBakSuffix[] = u".bak";

inline constexpr char16_t kSettingsReadOnly[] =
    u"SkiffData.dat is read-only, so this change is not saved. It lasts until Dorvane closes.";

inline constexpr char16_t kSettingsChangedMeanwhile[] =
    u"SkiffData.dat was changed by someone else while the configuration dialog was open.\r\n\r\n"
    u"Save your changes over it? The other version is then kept as SkiffData.dat.bak. "
    u"With No, your changes are dropped and the changed file is shown.";

// The reader's message, then the file's full path with the line and column
// of the fault, then what Dorvane does: starts with an empty desk
// (`atStart`) or keeps the desk it shows; the file stays as it is until a
// change is saved, which keeps it as SkiffData.dat.bad.
std::u16string SettingsFailureText(const Exception& error, std::u16string_view path, bool atStart);
