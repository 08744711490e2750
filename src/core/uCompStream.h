// The settings object as object text, and back.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/DataClasses.h"
#include "core/TextCodec.h"

// What the program reads when there is no settings file.
inline constexpr std::string_view kDefaultSettingsText = "object TSkiffData end";

// Reads a whole settings text (8-bit; a byte 0 ends it). Bytes between
// quotes are decoded with `decode`. Throws EParserError, EConvertError,
// EClassNotFound or EReadError with the exact message; on failure nothing
// stays allocated.
std::unique_ptr<TSkiffData> TextToComponent(std::string_view text,
                                            AnsiDecoder decode = AppendWindows1252);

// Writes the settings object: 7-bit text, CR LF after every line.
std::string ComponentToText(const TSkiffData& data);

// The file's bytes as the reader gets them: up to the first byte 0, lines
// broken at CR LF, a lone CR or a lone LF, each line ended by CR LF.
std::string NormalizeLineBreaks(std::string_view bytes);
