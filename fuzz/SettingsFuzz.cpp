// Fuzz target for the settings reader and writer.
//
// Any input may fail to load with one of our own exceptions; that is the
// reader doing its job. Everything else is a bug: another exception type, a
// crash, a sanitizer report, a hang, a leak. An input that loads must
// survive a save and a reload unchanged, because the program saves what it
// loaded and reads that file again at the next start.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "core/Errors.h"
#include "core/SettingsCheck.h"
#include "core/uCompStream.h"

namespace {

// A bounded, printable excerpt of `text` around `at`.
std::string Excerpt(std::string_view text, std::size_t at) {
  const std::size_t from = at > 60 ? at - 60 : 0;
  const std::string_view part = text.substr(from, 120);
  std::string out;
  for (unsigned char c : part) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c < 32 || c >= 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else out += static_cast<char>(c);
  }
  return out;
}

int LineAt(std::string_view text, std::size_t at) {
  int line = 1;
  for (std::size_t i = 0; i < at && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

// Where line `line` (from 1) begins.
std::size_t LineStart(std::string_view text, int line) {
  std::size_t at = 0;
  for (int n = 1; n < line && at < text.size(); ++n) {
    const std::size_t lf = text.find('\n', at);
    at = lf == std::string_view::npos ? text.size() : lf + 1;
  }
  return at;
}

// The N of a syntax error's "... on line N"; 1 for other messages.
int ErrorLine(std::string_view message) {
  const std::size_t at = message.rfind(" on line ");
  return at == std::string_view::npos ? 1 : std::atoi(message.data() + at + 9);
}

[[noreturn]] void Die(const char* what) {
  std::fprintf(stderr, "settings fuzz: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

// Prints where two texts part, then stops.
[[noreturn]] void DieDifferent(const char* what, std::string_view text1, std::string_view text2) {
  std::size_t at = 0;
  while (at < text1.size() && at < text2.size() && text1[at] == text2[at]) ++at;
  std::fprintf(stderr,
               "settings fuzz: %s\n"
               "  first difference at byte %zu (line %d); sizes %zu and %zu\n"
               "  first:  %s\n  second: %s\n",
               what, at, LineAt(text1, at), text1.size(), text2.size(), Excerpt(text1, at).c_str(),
               Excerpt(text2, at).c_str());
  Die(what);
}

// The writer promises 7-bit text with CR LF after every line.
void CheckWritten(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) > 127) {
      std::fprintf(stderr, "settings fuzz: byte %zu: %s\n", i, Excerpt(text, i).c_str());
      Die("written text is not 7-bit");
    }
  const std::string lines = NormalizeLineBreaks(text);
  if (text.empty() || lines != text)
    DieDifferent("written text has a line not ended by CR LF (first: written, second: normalized)",
                 text, lines);
}

// `asFile`: read as the program reads a file, with the encoding chosen by
// its bytes (UTF-8 with or without a mark, or ANSI) and the places recorded
// that `dorvane-settings check` points its warnings at.
void LoadSaveReload(std::string_view input, bool asFile) {
  std::unique_ptr<TSkiffData> data;
  try {
    TSettingsPlaces places;
    data = asFile ? FileToComponent(input, AppendWindows1252, &places) : TextToComponent(input);
    if (asFile) SettingsWarnings(*data, places);
  } catch (const Exception& e) {
    // Refused with a message: a normal outcome, pointing into the text.
    if (e.Place.Line < 0 || e.Place.Column < 0 || (e.Place.Line > 0 && e.Place.Column == 0))
      Die("a fault's place is not in the text");
    return;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "settings fuzz: reading threw a foreign exception: %s\n", e.what());
    Die("foreign exception");
  }
  const std::string text1 = ComponentToText(*data);
  CheckWritten(text1);
  std::unique_ptr<TSkiffData> reloaded;
  try {
    reloaded = TextToComponent(text1);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "settings fuzz: the saved text does not load: %s\n  there: %s\n", e.what(),
                 Excerpt(text1, LineStart(text1, ErrorLine(e.what()))).c_str());
    Die("saved settings do not load");
  }
  const std::string text2 = ComponentToText(*reloaded);
  if (text2 != text1)
    DieDifferent("saving the reloaded settings gives other text (first: saved, second: saved again)",
                 text1, text2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  LoadSaveReload(input, false);
  // What the program reads from a file, in the encoding its bytes say, and
  // the same bytes behind a UTF-8 mark.
  LoadSaveReload(NormalizeLineBreaks(input), false);
  LoadSaveReload(input, true);
  LoadSaveReload(std::string(kUtf8Bom) + std::string(input), true);
  return 0;
}
