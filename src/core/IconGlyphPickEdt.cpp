#include "core/IconGlyphPickEdt.h"

#include <algorithm>

namespace {

constexpr TCursorName kNamedCursors[] = {
    {u"crDefault", 0},     {u"crArrow", -2},      {u"crCross", -3},      {u"crIBeam", -4},
    {u"crSizeNESW", -6},   {u"crSizeNS", -7},     {u"crSizeNWSE", -8},   {u"crSizeWE", -9},
    {u"crUpArrow", -10},   {u"crHourGlass", -11}, {u"crDrag", -12},      {u"crNoDrop", -13},
    {u"crHSplit", -14},    {u"crVSplit", -15},    {u"crMultiDrag", -16}, {u"crSQLWait", -17},
    {u"crNo", -18},        {u"crAppStart", -19},  {u"crHelp", -20},      {u"crHandPoint", -21},
    {u"crSizeAll", -22},   {u"crSize", -22},
};

}  // namespace

std::span<const TCursorName> NamedStandardCursors() { return kNamedCursors; }

std::vector<int> ListedCursorIds(const TCursorOf& cursorOf, std::vector<int> registered) {
  const std::uintptr_t standard = cursorOf(0);
  std::vector<int> ids;
  for (const TCursorName& c : kNamedCursors) {
    if (c.Name == u"crArrow" || cursorOf(c.Id) != standard) ids.push_back(c.Id);
  }
  std::sort(registered.begin(), registered.end());
  registered.erase(std::unique(registered.begin(), registered.end()), registered.end());
  for (const int id : registered)
    if (id >= 1 && id <= kMaxApplicationCursor && cursorOf(id) != standard) ids.push_back(id);
  return ids;
}

std::vector<std::uint16_t> IconGroupImageIds(std::span<const std::uint8_t> directory) {
  const auto word = [&](std::size_t at) { return std::uint16_t(directory[at] | directory[at + 1] << 8); };
  if (directory.size() < 6 || word(0) != 0 || word(2) != 1) return {};
  const std::size_t count = word(4);
  if (directory.size() < 6 + 14 * count) return {};
  std::vector<std::uint16_t> ids;
  for (std::size_t i = 0; i < count; ++i) ids.push_back(word(6 + 14 * i + 12));
  return ids;
}

bool LooksLikeIconImage(std::span<const std::uint8_t> bytes) {
  constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() >= sizeof kPng && std::equal(std::begin(kPng), std::end(kPng), bytes.begin())) return true;
  if (bytes.size() < 4) return false;
  const std::uint32_t header = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
  return (header == 12 || header == 40 || header == 108 || header == 124) && header <= bytes.size();
}
