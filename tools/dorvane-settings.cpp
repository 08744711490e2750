// dorvane-settings: checks a settings file with the program's own reader
// before it is deployed, and shows it exactly as the program would save it.
//
//   dorvane-settings check FILE       prints OK or the load error; exit 0 / 1
//   dorvane-settings normalize FILE   prints the file as the program saves it
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "core/Errors.h"
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
    "usage: dorvane-settings check FILE       prints OK or the load error\n"
    "       dorvane-settings normalize FILE   prints the file as Dorvane saves it\n";

#ifdef _WIN32
// The same reading as the program's, with the system code page; only a
// missing file is an error here, where the program would start empty.
std::unique_ptr<TSkiffData> Load(const std::wstring& path) {
  const std::optional<std::string> text = ReadSettingsText(path);
  if (!text)
    throw EStreamError(Format(u"Cannot open file \"%s\". %s", {U16(path), SysErrorMessage(ERROR_FILE_NOT_FOUND)}));
  return TextToComponent(*text, AppendAnsiCodePage);
}
std::string ArgToUtf8(const wchar_t* arg) { return Utf16ToUtf8(U16(arg)); }
#else
std::unique_ptr<TSkiffData> Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw EStreamError(Utf8ToUtf16("Cannot open file \"" + path + "\". " + std::strerror(errno)));
  std::stringstream bytes;
  bytes << in.rdbuf();
  return TextToComponent(NormalizeLineBreaks(bytes.str()), AppendWindows1252);
}
std::string ArgToUtf8(const char* arg) { return arg; }
#endif

int Run(int argc, ArgChar** argv) {
  const std::string command = argc == 3 ? ArgToUtf8(argv[1]) : "";
  if (command != "check" && command != "normalize") {
    std::cerr << kUsage;
    return 2;
  }
  try {
    auto data = Load(argv[2]);
    if (command == "check") {
      std::cout << "OK\n";
    } else {
      const std::string text = ComponentToText(*data);
      std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return 0;
  } catch (const Exception& e) {
    (command == "check" ? std::cout : std::cerr) << e.what() << "\n";
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
