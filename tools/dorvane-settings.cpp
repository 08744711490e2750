// dorvane-settings: checks a settings file with the program's own reader
// before it is deployed, and shows it exactly as the program would save it.
//
//   dorvane-settings check [--strict] FILE   prints OK, warnings or the load error
//   dorvane-settings normalize FILE          prints the file as the program saves it
//
// Exit codes: 0 the file loads, 1 it does not, 2 usage, 3 warnings with --strict.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "core/Errors.h"
#include "core/SettingsCheck.h"
#include "core/uCompStream.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "win32/DataClasses.h"
#include "win32/WinSupport.h"
using ArgChar = wchar_t;
#else
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/TextCodec.h"
using ArgChar = char;
#endif

namespace {

constexpr char kUsage[] =
    "usage: dorvane-settings check [--strict] FILE   prints OK, warnings or the load error\n"
    "       dorvane-settings normalize FILE          prints the file as Dorvane saves it\n";

#ifdef _WIN32
// The same reading as the program's, with the system code page; only a
// missing file is an error here, where the program would start empty.
std::unique_ptr<TSkiffData> Load(const std::wstring& path, TSettingsPlaces& places) {
  const std::optional<std::string> bytes = ReadSettingsBytes(path);
  if (!bytes)
    throw EStreamError(Format(u"Cannot open file \"%s\". %s", {U16(path), SysErrorMessage(ERROR_FILE_NOT_FOUND)}));
  return FileToComponent(*bytes, AppendAnsiCodePage, &places);
}
std::string ArgToUtf8(const wchar_t* arg) { return Utf16ToUtf8(U16(arg)); }
#else
std::unique_ptr<TSkiffData> Load(const std::string& path, TSettingsPlaces& places) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw EStreamError(Utf8ToUtf16("Cannot open file \"" + path + "\". " + std::strerror(errno)));
  std::stringstream bytes;
  bytes << in.rdbuf();
  return FileToComponent(bytes.str(), AppendWindows1252, &places);
}
std::string ArgToUtf8(const char* arg) { return arg; }
#endif

// "FILE:LINE:COLUMN: ", as compilers point at a fault; only the file when
// the place is not known.
std::string Where(const std::string& file, TTextPlace place) {
  if (place.Line == 0) return file + ": ";
  return file + ":" + std::to_string(place.Line) + ":" + std::to_string(place.Column) + ": ";
}

int Run(int argc, ArgChar** argv) {
  const std::string command = argc >= 3 ? ArgToUtf8(argv[1]) : "";
  const bool strict = command == "check" && argc == 4 && ArgToUtf8(argv[2]) == "--strict";
  const bool usable = (command == "check" && (argc == 3 || strict)) || (command == "normalize" && argc == 3);
  if (!usable) {
    std::cerr << kUsage;
    return 2;
  }
  ArgChar* const path = argv[argc - 1];
  const std::string file = ArgToUtf8(path);
  TSettingsPlaces places;
  try {
    auto data = Load(path, places);
    if (command == "normalize") {
      const std::string text = ComponentToText(*data);
      std::fwrite(text.data(), 1, text.size(), stdout);
      return 0;
    }
    const std::vector<TSettingsWarning> warnings = SettingsWarnings(*data, places);
    for (const TSettingsWarning& w : warnings)
      std::cout << Where(file, w.Place) << "warning: " << Utf16ToUtf8(w.Text) << "\n";
    if (strict && !warnings.empty()) return 3;
    std::cout << "OK\n";
    return 0;
  } catch (const Exception& e) {
    std::ostream& out = command == "check" ? std::cout : std::cerr;
    if (e.Place.Line != 0) out << Where(file, e.Place);
    out << e.what() << "\n";
    return 1;
  }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // the saved bytes, CR LF as they are
  return Run(argc, argv);
}
#else
int main(int argc, char** argv) { return Run(argc, argv); }
#endif
