#include "core/uCompStream.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/Errors.h"

namespace {

std::string ReadFile(const std::string& name) {
  std::ifstream in(std::string(TEST_DATA_DIR) + "/" + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The message a load fails with, or "" when it loads.
std::string ErrorOf(std::string_view text) {
  try {
    TextToComponent(text);
    return "";
  } catch (const Exception& e) {
    return e.what();
  }
}

std::string Obj(std::string_view body) { return "object TSkiffData\r\n" + std::string(body) + "\r\nend\r\n"; }

std::u16string U(std::string_view utf8) { return Utf8ToUtf16(utf8); }

// A root written with every Boolean and integer at its initial value.
constexpr std::string_view kDefaultWritten =
    "object TSkiffData\r\n"
    "  DoFlatButtons = False\r\n  HideProgMan = False\r\n  ShowInfo = False\r\n"
    "  ProgramAsHint = False\r\n  BottomStr = False\r\n  HideTaskBar = False\r\n"
    "  DisableMinimize = False\r\n  DisableExplorer = False\r\n  DisableDesktop = False\r\n"
    "  DisableClose = False\r\n  BtnSize = 0\r\n  DoubleClickTime = 0\r\n  ExpRoot = False\r\n"
    "  TextOnTop = False\r\n  VertBarLineBreak = False\r\n  Groups = <>\r\nend\r\n";

TEST(uCompStream, WorkedExampleRoundTripsByteForByte) {
  const std::string text = ReadFile("example.dat");
  ASSERT_FALSE(text.empty());
  auto data = TextToComponent(text);
  EXPECT_EQ(data->BtnSize, 2);
  EXPECT_EQ(data->Drives, u"cd");
  EXPECT_EQ(data->ExpStartDir, u"C:\\");
  EXPECT_TRUE(data->VertBarLineBreak);
  ASSERT_EQ(data->Groups.Count(), 2);
  const TGroupItem& office = data->Groups[0];
  EXPECT_EQ(office.Name, u"Office");
  ASSERT_EQ(office.Apps.Count(), 2);
  EXPECT_EQ(office.Apps[0].Title, u"Text|Editor");
  EXPECT_EQ(office.Apps[0].DialogText, u"Don't forget to save. Start the editor?");
  EXPECT_EQ(office.Apps[1].Command,
            u"C:\\Data\\Reports\\Monthly\\Summary of all departments for the whole year.xls");
  EXPECT_EQ(office.Apps[1].Hint, U("Grüße"));
  EXPECT_TRUE(office.Apps[1].IgnoreAccessDenied);
  EXPECT_EQ(office.Apps[1].WindowState, u"X");
  EXPECT_EQ(data->Groups[1].Apps.Count(), 0);
  EXPECT_EQ(ComponentToText(*data), text);
}

TEST(uCompStream, DefaultTextGivesInitialValuesAndWritesEveryNonString) {
  auto data = TextToComponent(kDefaultSettingsText);
  EXPECT_EQ(ComponentToText(*data), kDefaultWritten);
  EXPECT_EQ(ComponentToText(TSkiffData()), kDefaultWritten);
}

// An option added later is written last and only when set, so a file that
// does not use it reads and writes as before.
TEST(uCompStream, BlockShellKeysIsWrittenOnlyWhenSet) {
  std::string set(kDefaultWritten);
  set.insert(set.size() - 5, "  BlockShellKeys = True\r\n");
  auto data = TextToComponent(set);
  EXPECT_TRUE(data->BlockShellKeys);
  EXPECT_EQ(ComponentToText(*data), set);
  data->BlockShellKeys = false;
  EXPECT_EQ(ComponentToText(*data), kDefaultWritten);
  // Written as False by hand: read, and dropped at the next save.
  auto off = TextToComponent(Obj("  blockshellkeys = False"));
  EXPECT_FALSE(off->BlockShellKeys);
  EXPECT_EQ(ComponentToText(*off), kDefaultWritten);
}

struct ErrorCase {
  const char* name;
  std::string text;
  const char* message;
};

TEST(uCompStream, FailuresReportTheExactText) {
  const std::string longLine(5000, 'x');
  const std::string deep = "object TSkiffData BtnSize = " + std::string(100, '(');
  const std::string nameTooLong(4075, 'N');  // its header line would not fit the window
  const ErrorCase cases[] = {
      {"empty text", "", "OBJECT expected on line 1"},
      {"blank lines then not a keyword", "\r\n\r\n  BtnSize = 1", "OBJECT expected on line 3"},
      {"byte-order mark", "\xEF\xBB\xBFobject TSkiffData end", "OBJECT expected on line 1"},
      {"class name missing", "object", "Identifier expected on line 1"},
      {"class name not an identifier", "object 'x' end", "Identifier expected on line 1"},
      {"text ends before end", "object TSkiffData\r\n  BtnSize = 1\r\n", "Identifier expected on line 3"},
      {"no equals sign", Obj("  BtnSize 1"), "''='' expected on line 2"},
      {"index not a number", "object TSkiffData [x] end", "Number expected on line 1"},
      {"index not closed", "object TSkiffData [1 end", "'']'' expected on line 1"},
      {"collection element not item", Obj("  Groups = <\r\n    foo end>"), "item expected on line 3"},
      {"collection not closed", "object TSkiffData Groups = <", "item expected on line 1"},
      {"plus without string", Obj("  Drives = 'a' +\r\n 1"), "String expected on line 3"},
      {"line end in quotes", Obj("  Drives = 'ab\r\n'"), "Invalid string constant on line 2"},
      {"text end in quotes", "object TSkiffData Drives = 'ab", "Invalid string constant on line 1"},
      {"unexpected value token", Obj("  Drives = = 'a'"), "Invalid property value on line 2"},
      {"value missing at end", "object TSkiffData Drives =", "Invalid property value on line 1"},
      {"bad hexadecimal", Obj("  Drives = {0G}"), "Invalid binary value on line 2"},
      {"odd hexadecimal", Obj("  Drives = {012}"), "Invalid binary value on line 2"},
      {"hexadecimal not closed", "object TSkiffData Drives = {00", "Invalid binary value on line 1"},
      {"set without comma", Obj("  Drives = [a b]"), "'','' expected on line 2"},
      {"set with a string", Obj("  Drives = [a, 'b']"), "Identifier expected on line 2"},
      {"dotted value without name", Obj("  Drives = a."), "Identifier expected on line 2"},
      {"path without name", Obj("  Groups. = 1"), "Identifier expected on line 2"},
      {"two literals without plus", Obj("  Drives = 'a' 'b'"), "Identifier expected on line 2"},
      {"lone minus", Obj("  BtnSize = -"), "'-' is not a valid integer value"},
      {"lone dollar", Obj("  BtnSize = $"), "'$' is not a valid integer value"},
      {"over 64 bits", Obj("  BtnSize = 9223372036854775808"),
       "'9223372036854775808' is not a valid integer value"},
      {"over 64 hex bits", Obj("  BtnSize = $10000000000000000"),
       "'$10000000000000000' is not a valid integer value"},
      {"bad index integer", "object TSkiffData [$] end", "'$' is not a valid integer value"},
      {"bad real", Obj("  BtnSize = 1.2.3"), "'1.2.3' is not a valid floating point value"},
      {"bad exponent", Obj("  BtnSize = 1e+"), "'1e+' is not a valid floating point value"},
      {"line too long", Obj("  Drives = 'a'\r\n" + longLine + "\r\n  BtnSize = 1"), "Line too long on line 3"},
      {"nesting too deep", deep, "Nesting deeper than 64 levels on line 1"},
      {"other class", "object TFoo end", "Class TFoo not found"},
      {"other class, named", "inline X: tfoo [3] BtnSize = 1 end", "Class tfoo not found"},
      {"syntax error wins over a later-found class error", "object TFoo BtnSize = 'x", "Invalid string constant on line 1"},
      {"unknown property", Obj("  Titel = 1"), "Error reading TSkiffData.Titel: Property Titel does not exist"},
      {"path through a plain value", Obj("  DoFlatButtons.X = 1"),
       "Error reading TSkiffData.DoFlatButtons.X: Invalid property path"},
      {"path through the name", Obj("  Name.X = 1"), "Error reading TSkiffData.Name.X: Invalid property path"},
      {"path into a collection", Obj("  Groups . Count = 1"),
       "Error reading TSkiffData.Groups.Count: Property Count does not exist"},
      {"real for an integer", Obj("  BtnSize = 1.0"), "Error reading TSkiffData.BtnSize: Invalid property value"},
      {"identifier for an integer", Obj("  BtnSize = Two"), "Error reading TSkiffData.BtnSize: Invalid property value"},
      {"integer beyond 32 bits", Obj("  BtnSize = 4294967296"),
       "Error reading TSkiffData.BtnSize: Invalid property value"},
      {"hex beyond 32 bits", Obj("  BtnSize = $FFFFFFFF"), "Error reading TSkiffData.BtnSize: Invalid property value"},
      {"list for an integer", Obj("  BtnSize = (1 2)"), "Error reading TSkiffData.BtnSize: Invalid property value"},
      {"set for a boolean", Obj("  ShowInfo = [a, 1]"), "Error reading TSkiffData.ShowInfo: Invalid property value"},
      {"bytes for a string", Obj("  Drives = {00 FF}"), "Error reading TSkiffData.Drives: Invalid property value"},
      {"integer for a boolean", Obj("  ShowInfo = 1"), "Error reading TSkiffData.ShowInfo: Invalid property value"},
      {"string for a boolean", Obj("  ShowInfo = 'True'"), "Error reading TSkiffData.ShowInfo: Invalid property value"},
      {"other identifier for a boolean", Obj("  ShowInfo = Yes"),
       "Error reading TSkiffData.ShowInfo: Invalid property value"},
      {"nil for a boolean", Obj("  ShowInfo = nil"), "Error reading TSkiffData.ShowInfo: Invalid property value"},
      {"dotted identifier for a boolean", Obj("  ShowInfo = True.X"),
       "Error reading TSkiffData.ShowInfo: Invalid property value"},
      {"identifier for a string", Obj("  Drives = cd"), "Error reading TSkiffData.Drives: Invalid property value"},
      {"nil for a collection", Obj("  Groups = nil"), "Error reading TSkiffData.Groups: Invalid property value"},
      {"collection for a string", Obj("  Drives = <>"), "Error reading TSkiffData.Drives: Invalid property value"},
      {"named root", "object Desk: TSkiffData BtnSize = x end", "Error reading Desk.BtnSize: Invalid property value"},
      {"name that is no identifier", Obj("  Name = 'my desk'"), "Error reading TSkiffData.Name: Invalid property value"},
      {"tag as string", Obj("  Tag = '1'"), "Error reading TSkiffData.Tag: Invalid property value"},
      {"header name too long", "object\r\n" + nameTooLong + "\r\n: TSkiffData BtnSize = x end",
       "Error reading TSkiffData.Name: Invalid property value"},
      {"name property too long", Obj("  Name = '" + nameTooLong.substr(1) + "' + 'N'"),
       "Error reading TSkiffData.Name: Invalid property value"},
      {"entry property misspelt",
       Obj("  Groups = <\r\n    item\r\n      Apps = <\r\n        item\r\n          Titel = 'x'\r\n"
           "        end>\r\n    end>"),
       "Error reading TSkiffData.Groups: Error reading TGroupItem.Apps: Error reading TAppItem.Titel: "
       "Property Titel does not exist"},
      {"group property wrong type", Obj("  Groups = < item Name = 1 end >"),
       "Error reading TSkiffData.Groups: Error reading TGroupItem.Name: Invalid property value"},
      {"first of two value errors", Obj("  BtnSize = x\r\n  ShowInfo = 2"),
       "Error reading TSkiffData.BtnSize: Invalid property value"},
      {"later syntax error wins over value error", Obj("  Titel = 1\r\n  Drives = 'x"),
       "Invalid string constant on line 3"},
      {"nested object refused", "object TSkiffData\r\n  object X: TButton\r\n  end\r\nend",
       "Nested object TButton not allowed on line 2"},
      {"property error before nested object", "object TSkiffData Titel = 1 object X: TButton end end",
       "Error reading TSkiffData.Titel: Property Titel does not exist"},
      {"nested object followed by junk", "object TSkiffData object X: TButton end foo", "OBJECT expected on line 1"},
  };
  for (const ErrorCase& c : cases) EXPECT_EQ(ErrorOf(c.text), c.message) << c.name;
}

TEST(uCompStream, LettersCaseBlanksOrderAndTrailingTextAreAccepted) {
  auto data = TextToComponent(
      "OBJECT tskiffdata\n\tdoflatbuttons\t=\tTRUE\x01\x1f\n  BTNSIZE = $1F\r  btnsize=$1f "
      "ShowInfo = false ShowInfo = tRuE\nEND 'not read");
  EXPECT_TRUE(data->DoFlatButtons);
  EXPECT_EQ(data->BtnSize, 31);
  EXPECT_TRUE(data->ShowInfo);
  EXPECT_EQ(ErrorOf("object TSkiffData end\r\n'unterminated\r\n" + std::string(9000, 'x')), "");
}

TEST(uCompStream, IntegersCoverTheWhole32BitRange) {
  const std::pair<std::string, int> cases[] = {
      {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX}, {"$7FFFFFFF", INT32_MAX},
      {"$FFFFFFFFFFFFFFFF", -1}, {"$0000000000000000001", 1}, {"-0", 0}, {"007", 7}};
  for (const auto& [text, value] : cases)
    EXPECT_EQ(TextToComponent(Obj("BtnSize = " + text))->BtnSize, value) << text;
  EXPECT_NE(ErrorOf(Obj("BtnSize = 2147483648")), "");
  // Reals, sets, lists and byte data are read, just not accepted by a property.
  EXPECT_EQ(ErrorOf(Obj("X = 1.5e3 Y = 2S Z = (1 'a' (b) [c]) W = {00 ff\r\n 1A}")),
            "Error reading TSkiffData.X: Property X does not exist");
}

TEST(uCompStream, CollectionsAreEmptiedOnlyByAnItem) {
  const std::string two = "Groups = < item Name = 'a' end item Name = 'b' end >";
  auto kept = TextToComponent(Obj(two + " Groups = <>"));
  ASSERT_EQ(kept->Groups.Count(), 2);
  EXPECT_EQ(kept->Groups[1].Name, u"b");
  auto replaced = TextToComponent(Obj(two + " Groups = < item [7] Name = 'c' end>"));
  ASSERT_EQ(replaced->Groups.Count(), 1);
  EXPECT_EQ(replaced->Groups[0].Name, u"c");
  auto bare = TextToComponent(Obj("Groups = < item end item Apps = < item Title = 'x' end > end>"));
  EXPECT_EQ(bare->Groups[0].Apps.Count(), 0);
  const TAppItem& app = bare->Groups[1].Apps[0];
  EXPECT_EQ(app.WindowState, u"");
  EXPECT_EQ(app.ImageIndex, -1);
  EXPECT_FALSE(app.MinimizeOnRun);
}

TEST(uCompStream, StringPiecesEscapesAndCodePages) {
  struct Case {
    std::string literal;
    std::u16string value;
  };
  const Case cases[] = {
      {"'a' + 'b'", u"ab"},
      {"'Don''t'", u"Don't"},
      {"'Don'#39't'", u"Don't"},
      {"#13#10'x'#9", u"\r\nx\t"},
      {"#65601", u"A"},                   // codes are taken modulo 65536
      {"'a'#", std::u16string(u"a\0", 2)},  // no digits: code 0
      {"'\xFC'", U("ü")},                 // 8-bit text in the code page
      {"'\x80'#65", U("€A")},
      {"'\xFC'#8364", U("ü€")},           // a wide token takes quoted bytes as code units
      {"#20013#25991", U("中文")},
      {"#55357", std::u16string(1, char16_t(0xD83D))},  // a lone surrogate is kept
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextToComponent(Obj("Drives = " + c.literal))->Drives, c.value) << c.literal;

  // Quoted bytes above 127 go through the decoder the caller passes.
  auto upper = [](std::string_view bytes, std::u16string& out) {
    for (char b : bytes) out += char16_t(static_cast<unsigned char>(b) + 0x100);
  };
  EXPECT_EQ(TextToComponent(Obj("Drives = 'a\xFC'"), upper)->Drives, u"\u0161\u01FC");
}

TEST(uCompStream, WriterEscapesAndChunksStrings) {
  struct Case {
    std::u16string value;
    std::string written;  // the lines after "  Drives = "
  };
  const std::string s64(64, 'a'), s63(63, 'a');
  const Case cases[] = {
      {u"cd", "'cd'\r\n"},
      {u"Don't", "'Don'#39't'\r\n"},
      {u"a\r\nb\x7f", "'a'#13#10'b\x7f'\r\n"},
      {U("Grüße"), "'Gr'#252#223'e'\r\n"},
      {U("中"), "#20013\r\n"},
      {std::u16string(64, u'a'), "'" + s64 + "'\r\n"},
      {std::u16string(65, u'a'), "\r\n    '" + s64 + "' +\r\n    'a'\r\n"},
      {std::u16string(63, u'a') + u"\u00e9\u00e9", "\r\n    '" + s63 + "'#233 +\r\n    #233\r\n"},
      {std::u16string(130, u'\u00e9'),
       "\r\n    " + [] { std::string r; for (int i = 0; i < 64; ++i) r += "#233"; return r; }() + " +\r\n    " +
           [] { std::string r; for (int i = 0; i < 64; ++i) r += "#233"; return r; }() + " +\r\n    #233#233\r\n"},
  };
  for (const Case& c : cases) {
    TSkiffData data;
    data.Drives = c.value;
    const std::string text = ComponentToText(data);
    const std::string marker = "  Drives = ";
    const std::size_t at = text.find(marker);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.substr(at + marker.size(), c.written.size()), c.written);
    EXPECT_EQ(TextToComponent(text)->Drives, c.value);
  }
}

TEST(uCompStream, RootNameTagLeftAndTopRoundTrip) {
  auto data = TextToComponent(Obj("Left = -1\r\n  Top = 70000\r\n  Tag = -5\r\n  Name = 'Desk'"));
  EXPECT_EQ(data->Name, u"Desk");
  EXPECT_EQ(data->Left, 65535);
  EXPECT_EQ(data->Top, 70000 - 65536);
  const std::string text = ComponentToText(*data);
  EXPECT_EQ(text.substr(0, 52), "object Desk: TSkiffData\r\n  Tag = -5\r\n  DoFlatButtons");
  EXPECT_NE(text.find("  Groups = <>\r\n  Left = 65535\r\n  Top = 4464\r\nend\r\n"), std::string::npos);
  EXPECT_EQ(ComponentToText(*TextToComponent(text)), text);
  EXPECT_EQ(TextToComponent("object Desk: TSkiffData Name = '' end")->Name, u"");

  // The longest name whose header line still fits the reading window, given
  // either way; the saved file must load again.
  const std::string longest(4074, 'N');
  for (const std::string& given : {"object\r\n" + longest + "\r\n: TSkiffData end",
                                   Obj("Name = '" + longest.substr(1) + "' + 'N'")}) {
    auto named = TextToComponent(given);
    EXPECT_EQ(named->Name, Widen(longest));
    EXPECT_EQ(TextToComponent(ComponentToText(*named))->Name, Widen(longest));
  }
}

TEST(uCompStream, ReadingWindowLimitsTheLineLength) {
  std::string filler;  // blank lines that keep the window full after the long line
  for (int i = 0; i < 4000; ++i) filler += "\r\n";
  auto withLine = [&](std::size_t length) {
    return "object TSkiffData\r\n  Drives =\r\n'" + std::string(length - 2, 'x') + "'\r\n" + filler + "end\r\n";
  };
  EXPECT_EQ(ErrorOf(withLine(4093)), "");
  EXPECT_EQ(ErrorOf(withLine(4094)), "Line too long on line 3");
  // A long last line is fine when the text ends before the window fills.
  EXPECT_EQ(ErrorOf("object TSkiffData Drives = '" + std::string(4000, 'x') + "' end"), "");
  // A byte 0 ends the text.
  EXPECT_EQ(ErrorOf(std::string("object TSkiffData end", 21) + '\0' + std::string(9000, 'x')), "");
  EXPECT_EQ(ErrorOf(std::string("object TSkiffData \0 end", 23)), "Identifier expected on line 1");
}

TEST(uCompStream, NormalizeLineBreaks) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"a", "a\r\n"},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"a\nb\rc", "a\r\nb\r\nc\r\n"},
      {"a\n\rb", "a\r\n\r\nb\r\n"},
      {"\n", "\r\n"},
      {std::string("a\nb\0c\n", 6), "a\r\nb\r\n"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeLineBreaks(in), out);
}

// The place a load fails at, as "line:column", through the file reading.
std::string PlaceOf(std::string_view bytes) {
  try {
    FileToComponent(bytes, AppendWindows1252);
    return "loads";
  } catch (const Exception& e) {
    return std::to_string(e.Place.Line) + ":" + std::to_string(e.Place.Column);
  }
}

TEST(uCompStream, FailuresPointAtTheirPlace) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "1:1"},
      {"\r\n\r\n  BtnSize = 1", "3:3"},
      {Obj("  Groups = <\r\n    item\r\n      Apps = <\r\n        item\r\n          Titel = 'x'\r\n"
           "        end>\r\n    end>"),
       "6:11"},  // the misspelt name, three collections deep
      {Obj("  BtnSize = x"), "2:13"},  // a value that does not suit: the value
      {Obj("  Drives = 'ab\r\n'"), "2:12"},
      {Obj("  Drives = 'a'\r\n  BtnSize = -"), "3:13"},  // not a number
      {Obj("  Drives = {00\r\n   0G}"), "3:4"},
      {"object Desk: TFoo end", "1:14"},
      {"object TSkiffData\r\n  BtnSize = 1\r\n", "3:1"},  // the text ends too early
      // After a byte-order mark, columns count what an editor shows.
      {"\xEF\xBB\xBF" "object TSkiffData Titel = 1 end", "1:19"},
      {Obj("  Drives = 'Caf\xC3\xA9' Titel = 1"), "2:19"},  // UTF-8: characters, not bytes
      {Obj("  Drives = 'Caf\xE9' Titel = 1"), "2:19"},      // ANSI: bytes are characters
  };
  for (const auto& [text, place] : cases) EXPECT_EQ(PlaceOf(text), place) << text;
}

TEST(uCompStream, FileEncodingIsChosenByItsBytes) {
  struct Case {
    std::string name, bytes;
    TSettingsEncoding encoding;
    std::u16string drives;
  };
  const std::string cafe = "'Caf\xC3\xA9 \xC3\x9Cn\xC3\xAF" "code'";  // Café Ünïcode in UTF-8
  const Case cases[] = {
      {"ASCII only", Obj("Drives = 'cd'"), TSettingsEncoding::seAnsi, u"cd"},
      {"UTF-8 without mark", Obj("Drives = " + cafe), TSettingsEncoding::seUtf8, U("Café Ünïcode")},
      {"UTF-8 with mark", "\xEF\xBB\xBF" + Obj("Drives = " + cafe), TSettingsEncoding::seUtf8Bom,
       U("Café Ünïcode")},
      {"ANSI bytes that are not UTF-8", Obj("Drives = 'Caf\xE9 \xDCn\xEF" "code'"), TSettingsEncoding::seAnsi,
       U("Café Ünïcode")},
      {"UTF-8 and one ANSI byte elsewhere", Obj("Drives = " + cafe + "\r\n  BootDir = '\xE9'"),
       TSettingsEncoding::seAnsi, U("CafÃ© ÃœnÃ¯code")},
      {"UTF-8 cut short at the end", Obj("Drives = 'a'") + "\xC3", TSettingsEncoding::seAnsi, u"a"},
      {"UTF-8 beside wide escapes", Obj("Drives = #8364'Caf\xC3\xA9'#8364'\xE2\x82\xAC'"),
       TSettingsEncoding::seUtf8, U("€Café€€")},
      {"UTF-8 beside ASCII escapes", Obj("Drives = 'Caf\xC3'#65'\xA9'"), TSettingsEncoding::seAnsi,
       U("CafÃA©")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SettingsEncodingOf(c.bytes), c.encoding) << c.name;
    EXPECT_EQ(FileToComponent(c.bytes, AppendWindows1252)->Drives, c.drives) << c.name;
  }
  // Saved, a UTF-8 file takes the notation's own form: escapes, 7-bit.
  const auto data = FileToComponent("\xEF\xBB\xBF" + Obj("Drives = " + cafe), AppendWindows1252);
  EXPECT_NE(ComponentToText(*data).find("Drives = 'Caf'#233' '#220'n'#239'code'"), std::string::npos);
}

}  // namespace
