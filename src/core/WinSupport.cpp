#include "core/WinSupport.h"

#include <algorithm>
#include <string>

#include "core/TextCodec.h"

std::u16string BarsToLineBreaks(std::u16string text) {
  std::replace(text.begin(), text.end(), u'|', u'\r');
  return text;
}

TCaptionLines SplitButtonCaption(std::u16string_view title, const TTextWidth& textWidth, int maxWidth,
                                 bool barBreak, bool bottomIfSingle) {
  TCaptionLines lines;
  if (title.empty()) return lines;

  if (barBreak) {
    const std::size_t bar = title.find(u'|');
    if (bar != std::u16string_view::npos) {
      // The user broke the title by hand: taken as it is, not measured.
      lines.Upper = title.substr(0, bar);
      lines.Lower = title.substr(bar + 1, kMaxCaptionLine);
      return lines;
    }
  }

  // n counts characters from 1: the shortest prefix that is too wide, or
  // the length plus one when the whole title fits.
  const std::size_t length = title.size();
  std::size_t n = 1;
  bool sawBlank = title[0] == u' ';
  while (n <= length && textWidth(title.substr(0, n)) <= maxWidth) {
    ++n;
    if (n <= length && title[n - 1] == u' ') sawBlank = true;
  }

  if (sawBlank && textWidth(title) > maxWidth) {
    // Break at the last blank at or before the first character that does
    // not fit; the blank goes down with the second word.
    std::size_t blank = std::min(n, length);
    while (blank > 1 && title[blank - 1] != u' ') --blank;
    if (title[blank - 1] == u' ') n = blank;
  }

  lines.Upper = title.substr(0, n - 1);
  lines.Lower = title.substr(n - 1, kMaxCaptionLine);
  while (!lines.Lower.empty() && textWidth(lines.Lower) > maxWidth) lines.Lower.pop_back();

  if (bottomIfSingle && lines.Lower.empty()) std::swap(lines.Upper, lines.Lower);
  return lines;
}

int ShowCommandFor(std::u16string_view windowState) {
  if (windowState.starts_with(u'M')) return kSwMinimize;
  if (windowState.starts_with(u'X')) return kSwMaximize;
  return kSwShowNormal;
}

TConfirmation ConfirmationFor(std::u16string_view dialogType) {
  if (dialogType == u"Y") return TConfirmation::cfYesNo;
  if (dialogType == u"O") return TConfirmation::cfOkCancel;
  return TConfirmation::cfNone;
}

std::u16string ShellResultText(int result) {
  switch (result) {
    case 2: return u"The specified file was not found.";
    case 3: return u"The specified path was not found.";
    case kShellAccessDenied: return u"Access to the file or object is denied.";
    case 8: return u"Not enough memory to start the program.";
    case 11: return u"The .EXE file is invalid (non-Win32 .EXE or error in .EXE image.)";
    case 26: return u"A sharing violation has occured.";
    case 31: return u"There is no application associated with the given filename extension.";
    case 32: return u"A DLL was not found.";
    default: return u"Error: " + Widen(std::to_string(result));
  }
}
