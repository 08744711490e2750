#include "core/DeskWatch.h"

namespace {

bool Blank(char16_t c) { return c == u' ' || c == u'\t'; }

const char16_t* SkipBlanks(const char16_t* p) {
  while (Blank(*p)) ++p;
  return p;
}

// A decimal number up to `limit`, ending at a blank or the end.
bool Number(const char16_t*& p, std::uint64_t limit, std::uint64_t& value) {
  value = 0;
  const char16_t* start = p;
  for (; *p >= u'0' && *p <= u'9'; ++p) {
    value = value * 10 + static_cast<std::uint64_t>(*p - u'0');
    if (value > limit) return false;
  }
  return p != start && (*p == 0 || Blank(*p));
}

bool Word(const char16_t*& p, const char16_t* word) {
  const char16_t* q = p;
  for (; *word; ++word, ++q)
    if (*q != *word) return false;
  if (*q != 0 && !Blank(*q)) return false;
  p = q;
  return true;
}

}  // namespace

bool ParseDeskWatchCommand(const char16_t* commandLine, TDeskWatchArgs& args) {
  const char16_t* p = commandLine;
  if (*p == u'"') {
    for (++p; *p && *p != u'"'; ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && !Blank(*p)) ++p;
  }
  p = SkipBlanks(p);
  args.StageOffset = static_cast<int>(p - commandLine);
  args.Relay = Word(p, kDeskRelayWord);
  if (!args.Relay && !Word(p, kDeskWatchWord)) return false;
  constexpr std::uint64_t kHandleLimit = 0x7FFFFFFF, kIdLimit = 0xFFFFFFFF;
  std::uint64_t* const fields[] = {&args.Process, &args.Mapping, &args.ParentId};
  for (std::uint64_t* field : fields) {
    p = SkipBlanks(p);
    if (!Number(p, field == &args.ParentId ? kIdLimit : kHandleLimit, *field) || *field == 0) return false;
  }
  return *SkipBlanks(p) == 0;
}
