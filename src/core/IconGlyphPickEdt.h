// The portable half of the icon picker: the named standard cursors and which
// cursor identifiers the picker's cursor mode lists.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

struct TCursorName {
  std::u16string_view Name;
  int Id;
};

// The 22 named standard cursors, in the order the picker lists them.
std::span<const TCursorName> NamedStandardCursors();

// The highest identifier of the application's own registered cursors.
inline constexpr int kMaxApplicationCursor = 32767;

// The cursor an identifier stands for, as an opaque handle value; unknown
// identifiers give the default cursor (identifier 0).
using TCursorOf = std::function<std::uintptr_t(int id)>;

// The identifiers cursor mode lists, in list order: the named standard
// cursors whose cursor is not the default one ("crArrow" always, although it
// looks like the default), then, in ascending order, the identifiers of 1 to
// 32767 whose cursor is not the default one. `registered` names the
// identifiers that can have a cursor of their own (the executable's cursor
// resources); any others would give the default cursor, so only these are
// asked: probing all 32767 costs seconds under some systems.
std::vector<int> ListedCursorIds(const TCursorOf& cursorOf, std::vector<int> registered);

// The image identifiers an icon group resource names: after a header of
// three 16-bit words (0, type 1, the count) come `count` entries of 14 bytes
// whose last 16-bit word is the identifier. Empty when the bytes are no such
// directory or name no image.
std::vector<std::uint16_t> IconGroupImageIds(std::span<const std::uint8_t> directory);

// Whether the bytes of an icon image resource can hold an icon's picture:
// they begin with a bitmap header (12, 40, 108 or 124 bytes, as its first
// field says, and no longer than the bytes) or with the PNG signature. The
// picker lists a library's icons before it extracts any, and leaves out
// those none of whose images is either.
bool LooksLikeIconImage(std::span<const std::uint8_t> bytes);
