#include "core/Cmdline.h"

#include <stdexcept>

int SwitchCharOf(char16_t c) {
  for (int i = 0; i < kSwitchCharCount; ++i)
    if (kSwitchCharacters[i] == c) return i;
  return -1;
}

namespace {

class TParamReader {
 public:
  explicit TParamReader(std::u16string_view line) : FLine(line.substr(0, line.find(u'\0'))) {}

  // The next parameter; empty at the end.
  std::u16string Next() {
    const std::size_t n = FLine.size();
    for (;;) {
      while (FPos < n && FLine[FPos] <= u' ') ++FPos;
      if (FPos + 1 < n && FLine[FPos] == u'"' && FLine[FPos + 1] == u'"')
        FPos += 2;
      else
        break;
    }
    std::u16string param;
    while (FPos < n && FLine[FPos] > u' ') {
      if (FLine[FPos] == u'"') {
        // Quoted text keeps its blanks; an unclosed quote runs to the end.
        const std::size_t close = FLine.find(u'"', FPos + 1);
        const std::size_t end = close == std::u16string_view::npos ? n : close;
        param.append(FLine.substr(FPos + 1, end - FPos - 1));
        FPos = end == n ? n : end + 1;
      } else {
        param += FLine[FPos++];
      }
    }
    return param;
  }

 private:
  std::u16string_view FLine;
  std::size_t FPos = 0;
};

}  // namespace

std::vector<std::u16string> ParamList(std::u16string_view commandLine) {
  TParamReader reader(commandLine);
  reader.Next();  // the program's own path
  std::vector<std::u16string> params;
  for (std::u16string p = reader.Next(); !p.empty(); p = reader.Next()) params.push_back(std::move(p));
  return params;
}

TCmdLineEvent& TCommandLineParameters::OnSwitchOf(char letter) {
  if (letter >= 'a' && letter <= 'z') return OnSwitch[static_cast<std::size_t>(letter - 'a')];
  if (letter >= 'A' && letter <= 'Z') return OnSwitch[static_cast<std::size_t>(letter - 'A')];
  throw std::out_of_range("not a switch letter");
}

void TCommandLineParameters::ProcessCommandLine(std::u16string_view commandLine, const TFileExists& fileExists) {
  const std::vector<std::u16string> params = ParamList(commandLine);
  if (params.empty()) return;

  // A leading "\" is a rooted path, so it can name a file although it can
  // also start a switch.
  const std::u16string& first = params.front();
  if ((SwitchCharOf(first[0]) < 0 || first[0] == u'\\') && OnFilename &&
      (!FileMustExist || (fileExists && fileExists(first)))) {
    const TFilenameEvent handler = OnFilename;  // a handler may reassign the event
    handler(this, first);
  }

  for (std::size_t i = 0; i < params.size(); ++i) {
    const std::u16string& p = params[i];
    const int sw = SwitchCharOf(p[0]);
    if (sw < 0 || !EnabledSwitchChars.Contains(static_cast<TSwitch_Chars>(sw)) || p.size() < 2) continue;
    const char16_t c = p[1];
    TCmdLineEvent handler;
    if (c == u'?')
      handler = OnQuestionMark;
    else if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
      handler = OnSwitchOf(static_cast<char>(c));
    if (handler) handler(FOwner, p, i + 1 < params.size() ? params[i + 1] : std::u16string());
  }
}
