// The portable half of the Windows support module: how a program button's
// title is laid out on two lines, and what a press hands to the shell and
// says when the shell refuses. The Windows half (win32/WinSupport.h) makes
// the calls.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// "|" in a hint or caption text is a line break (a carriage return).
std::u16string BarsToLineBreaks(std::u16string text);

// The width in pixels of a text in the font the caption is drawn with.
using TTextWidth = std::function<int(std::u16string_view)>;

struct TCaptionLines {
  std::u16string Upper;
  std::u16string Lower;
};

// The lower line never holds more than this many characters.
inline constexpr std::size_t kMaxCaptionLine = 255;

// Splits a title into the two caption lines of a large button. With
// barBreak the first "|" splits it as it stands, however wide the lines;
// otherwise the upper line takes what fits in maxWidth, broken at the last
// blank when the title has one there, and the lower line loses characters
// at its end until it fits. With bottomIfSingle a title that takes one line
// goes on the lower line.
TCaptionLines SplitButtonCaption(std::u16string_view title, const TTextWidth& textWidth, int maxWidth,
                                 bool barBreak, bool bottomIfSingle);

// The shell's show commands, as the Windows headers number them.
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwMaximize = 3;
inline constexpr int kSwMinimize = 6;

// Only the first character of an entry's WindowState counts: "M" or "X".
int ShowCommandFor(std::u16string_view windowState);

enum class TConfirmation { cfNone, cfYesNo, cfOkCancel };

// An entry's DialogType as a whole: exactly "Y" or "O" asks, nothing else.
TConfirmation ConfirmationFor(std::u16string_view dialogType);

// The shell's result codes the press looks at.
inline constexpr int kShellAccessDenied = 5;
inline constexpr int kShellLastError = 32;  // anything above is success

// What a shell result of 32 or less means, for the user.
std::u16string ShellResultText(int result);

inline constexpr char16_t kCannotRunProgram[] = u"Cannot run the program: ";
inline constexpr char16_t kNoProgramToRun[] = u"There is no program to run.";
inline constexpr char16_t kInfoPrefix[] = u"Info: ";
