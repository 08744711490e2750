// Conversions between the encodings the settings pass through: UTF-16 in
// memory, UTF-8 for tools and messages on Linux, and an 8-bit ANSI code page
// for the bytes between quotes in a settings file.
#pragma once

#include <string>
#include <string_view>

// Appends the UTF-16 form of 8-bit text in some ANSI code page to `out`.
// The program passes the system code page; tools and native tests pass
// AppendWindows1252.
using AnsiDecoder = void (*)(std::string_view bytes, std::u16string& out);

void AppendWindows1252(std::string_view bytes, std::u16string& out);
// The same for UTF-8 text; what is not UTF-8 becomes U+FFFD.
void AppendUtf8(std::string_view bytes, std::u16string& out);
// True when every byte above 127 belongs to a well-formed UTF-8 sequence.
bool IsUtf8(std::string_view bytes);

// Lone surrogates become U+FFFD in UTF-8; invalid UTF-8 bytes become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// Compares ignoring ASCII letter case only, as the settings reader does.
bool SameTextAscii(std::string_view a, std::string_view b);

// ASCII-only widening, for the program's own fixed texts.
std::u16string Widen(std::string_view ascii);
