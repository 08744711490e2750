// The settings object as object text, and back.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/DataClasses.h"
#include "core/Errors.h"
#include "core/TextCodec.h"

// What the program reads when there is no settings file.
inline constexpr std::string_view kDefaultSettingsText = "object TSkiffData end";

// Where each value read came from: keyed by the field's address, and by a
// collection item's address for its "item" keyword.
using TSettingsPlaces = std::unordered_map<const void*, TTextPlace>;

// Reads a whole settings text (8-bit; a byte 0 ends it). Bytes between
// quotes are decoded with `decode` (AppendUtf8 makes columns count
// characters). Throws EParserError, EConvertError, EClassNotFound or
// EReadError with the exact message and its Place; on failure nothing stays
// allocated. With `places`, records where each value stood.
std::unique_ptr<TSkiffData> TextToComponent(std::string_view text, AnsiDecoder decode = AppendWindows1252,
                                            TSettingsPlaces* places = nullptr);

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// How a settings file's bytes are read: a UTF-8 byte-order mark, or bytes
// above 127 that are UTF-8 throughout, make it UTF-8 (what editors write
// today); anything else is in the ANSI code page, as the program has always
// read it.
enum class TSettingsEncoding { seAnsi, seUtf8, seUtf8Bom };
TSettingsEncoding SettingsEncodingOf(std::string_view bytes);

// Reads a settings file's bytes as they are on disk: the encoding chosen as
// above (the mark dropped), line breaks made CR LF, then TextToComponent.
std::unique_ptr<TSkiffData> FileToComponent(std::string_view bytes, AnsiDecoder ansi,
                                            TSettingsPlaces* places = nullptr);

// Writes the settings object: 7-bit text, CR LF after every line.
std::string ComponentToText(const TSkiffData& data);

// The file's bytes as the reader gets them: up to the first byte 0, lines
// broken at CR LF, a lone CR or a lone LF, each line ended by CR LF.
std::string NormalizeLineBreaks(std::string_view bytes);
