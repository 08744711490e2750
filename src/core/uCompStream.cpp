#include "core/uCompStream.h"

#include <charconv>
#include <cstdint>
#include <vector>

#include "core/Errors.h"

namespace {

// The reader looks at the text through a window of this many bytes, cut
// after its last line feed, so a line must fit into one window.
constexpr std::size_t kWindowSize = 4096;
// Lists, collections and nested objects deeper than this are refused, so
// that no input can exhaust the stack.
constexpr int kMaxNesting = 64;
// The writer puts the root's name into the header line, which has to fit
// into one window with its line end when the saved file is read again.
constexpr std::size_t kMaxNameLength =
    kWindowSize - 1 - std::string_view("object : TSkiffData\r\n").size();

bool IsLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(unsigned char c) { return IsLetter(c) || IsDigit(c); }
bool IsHexDigit(unsigned char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int HexValue(unsigned char c) {
  return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
}

bool IsValidIdent(std::u16string_view s) {
  if (s.empty() || s[0] > 127 || !IsLetter(static_cast<unsigned char>(s[0]))) return false;
  for (char16_t c : s)
    if (c > 127 || !IsIdentChar(static_cast<unsigned char>(c))) return false;
  return true;
}

std::u16string Quote(std::string_view bytes) {
  // Token texts are ASCII apart from stray bytes; show those as Windows-1252.
  std::u16string out;
  AppendWindows1252(bytes, out);
  return out;
}

enum class TToken { Eof, Symbol, String, Integer, Float, Char };

class TReader {
 public:
  TReader(std::string_view text, AnsiDecoder decode, TSettingsPlaces* places)
      : FText(text.substr(0, text.find('\0'))), FDecode(decode), FUtf8(decode == AppendUtf8), FPlaces(places) {}

  std::unique_ptr<TSkiffData> Read();

 private:
  // A property's place in the object being read.
  enum class TExtra { None, Name, Tag, Left, Top };
  struct TTarget {
    TPersistent* Object = nullptr;
    const TPropInfo* Prop = nullptr;
    TExtra Extra = TExtra::None;
    std::u16string Error;  // why the path does not lead to a property
  };
  // A collection property whose items are being read, for the error chain.
  struct TFrame {
    std::u16string ObjectName;
    std::u16string PropName;
  };
  // A token's line and byte offset; the column is worked out when needed.
  struct TAt {
    int Line = 0;
    std::size_t Offset = 0;
  };
  // The first token of a value, kept for applying it.
  struct TValue {
    TToken Tok = TToken::Eof;
    std::string_view Text;  // an identifier with its dots
    std::int64_t Int = 0;
  };

  // Lexer.
  bool NextWindow();
  void SkipBlanks();
  void NextToken();
  void ScanString();
  void ScanNumber();
  unsigned char Peek() const { return FPos < FLimit ? FText[FPos] : 0; }
  std::string_view TokenText() const { return FText.substr(FTokStart, FPos - FTokStart); }
  bool IsChar(char c) const { return FTok == TToken::Char && FTokChar == c; }
  bool IsKeyword(std::string_view k) const {
    // The length test first: most symbols are property names, not keywords.
    return FTok == TToken::Symbol && FPos - FTokStart == k.size() && SameTextAscii(TokenText(), k);
  }
  bool AtPropertyListEnd() const {
    return IsKeyword("end") || IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline");
  }
  [[noreturn]] void SyntaxError(std::u16string_view message) const;
  TAt Here() const { return {FLine, FTokStart}; }
  TTextPlace PlaceOf(TAt at) const;
  void Record(const void* key, TAt at) {
    if (FPlaces) (*FPlaces)[key] = PlaceOf(at);
  }
  void ExpectSymbol() const;
  void ExpectChar(char c) const;
  std::int64_t TokenInt() const;
  void CheckTokenFloat() const;
  void DecodeString(std::u16string& out);

  // Parser; every step leaves the next unread token in FTok.
  void Enter();
  void ParseObject(bool isRoot);
  void ParseIndex();
  void ParseProperty(TPersistent* object);
  void ParseCollection(TCollection* into, const TFrame& frame);
  TValue ParseValue(std::u16string* stringOut);
  void ParseBinary();
  TTarget Resolve(TPersistent* object);
  void Apply(const TTarget& target, const TValue& value, const std::u16string& name);
  std::u16string WrittenPath() const;
  std::u16string DisplayName(TPersistent* object) const;

  // Applying; the first failure is kept and the rest of the text is only
  // checked, because a syntax error anywhere takes precedence.
  void Fail(TPersistent* object, std::u16string_view propName, std::u16string_view message, TAt at);
  bool Applying() const { return FPending.empty() && FRoot != nullptr; }

  std::string_view FText;
  AnsiDecoder FDecode;
  bool FUtf8;  // columns count characters, not bytes
  TSettingsPlaces* FPlaces;
  std::size_t FPos = 0;
  std::size_t FLimit = 0;
  int FLine = 1;
  int FDepth = 0;

  TToken FTok = TToken::Eof;
  std::size_t FTokStart = 0;
  char FTokChar = 0;
  bool FTokWide = false;       // a string token with an escape above 127
  bool FTokHigh = false;       // a string token with a quoted byte above 127
  std::size_t FTokNumEnd = 0;  // end of a number token without its C/D/S suffix

  std::unique_ptr<TSkiffData> FRoot;
  std::vector<const TFrame*> FFrames;  // each lives in the ParseProperty reading it
  std::u16string FPending;
  TAt FPendingAt;
  bool FClassFound = false;
  std::string FBytes;     // scratch for 8-bit string tokens
  std::u16string FWide;  // a string value being put together
  std::vector<std::string_view> FPath;  // names of the property being read
  // The property after the one found last: a written file lists them in
  // table order, so this is nearly always the next one asked for.
  const TPropInfo* FHintTable = nullptr;
  std::size_t FHintIndex = 0;
  const TPropInfo* Find(TPersistent& object, std::string_view name);
};

// ---------------------------------------------------------------- lexer

bool TReader::NextWindow() {
  if (FLimit >= FText.size()) return false;
  const std::size_t start = FLimit;
  if (FText.size() - start < kWindowSize) {
    FLimit = FText.size();
    return true;
  }
  // The line feed is looked for at window positions 1 to 4094.
  for (std::size_t i = start + kWindowSize - 2; i > start; --i)
    if (FText[i] == '\n') {
      FLimit = i + 1;
      return true;
    }
  SyntaxError(u"Line too long");
}

// The scanning loops work on local copies of the position: a member would
// be stored back on every character.
void TReader::SkipBlanks() {
  for (;;) {
    std::size_t i = FPos;
    const std::size_t limit = FLimit;
    while (i < limit) {
      const unsigned char c = FText[i];
      if (c > 32) {
        FPos = i;
        return;
      }
      if (c == '\n') ++FLine;
      ++i;
    }
    FPos = i;
    if (!NextWindow()) return;
  }
}

void TReader::NextToken() {
  SkipBlanks();
  FTokStart = FPos;
  if (FPos >= FLimit) {
    FTok = TToken::Eof;
    return;
  }
  const unsigned char c = FText[FPos];
  if (IsLetter(c)) {
    std::size_t i = FPos;
    while (++i < FLimit && IsIdentChar(FText[i])) {}
    FPos = i;
    FTok = TToken::Symbol;
  } else if (c == '\'' || c == '#') {
    ScanString();
  } else if (c == '$') {
    while (++FPos < FLimit && IsHexDigit(FText[FPos])) {}
    FTok = TToken::Integer;
    FTokNumEnd = FPos;
  } else if (c == '-' || IsDigit(c)) {
    ScanNumber();
  } else {
    ++FPos;
    FTok = TToken::Char;
    FTokChar = static_cast<char>(c);
  }
}

void TReader::ScanString() {
  FTok = TToken::String;
  FTokWide = false;
  unsigned char high = 0;
  for (;;) {
    const unsigned char c = Peek();
    if (c == '\'') {
      const char* text = FText.data();
      const std::size_t limit = FLimit;
      std::size_t i = FPos + 1;
      for (;; ++i) {
        if (i >= limit) SyntaxError(u"Invalid string constant");
        const unsigned char q = text[i];
        if (q == '\'') {
          if (i + 1 < limit && text[i + 1] == '\'') ++i;
          else break;
        } else if (q == '\r' || q == '\n') {
          SyntaxError(u"Invalid string constant");
        }
        high |= q;
      }
      FPos = i + 1;
    } else if (c == '#') {
      unsigned code = 0;
      while (++FPos < FLimit && IsDigit(FText[FPos])) code = (code * 10 + (FText[FPos] - '0')) & 0xFFFF;
      if (code > 127) FTokWide = true;
    } else {
      FTokHigh = high >= 0x80;
      return;
    }
  }
}

void TReader::ScanNumber() {
  FTok = TToken::Integer;
  while (++FPos < FLimit && IsDigit(FText[FPos])) {}
  for (; FPos < FLimit; ++FPos) {
    const char c = FText[FPos];
    if (!(IsDigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-')) break;
    FTok = TToken::Float;
  }
  FTokNumEnd = FPos;
  const char s = static_cast<char>(Peek() | 0x20);
  if (FPos < FLimit && (s == 'c' || s == 'd' || s == 's')) {
    FTok = TToken::Float;
    ++FPos;
  }
}

void TReader::SyntaxError(std::u16string_view message) const {
  throw EParserError(std::u16string(message) + u" on line " + Widen(std::to_string(FLine)));
}

void TReader::ExpectSymbol() const {
  if (FTok != TToken::Symbol) SyntaxError(u"Identifier expected");
}

void TReader::ExpectChar(char c) const {
  if (!IsChar(c)) SyntaxError(Format(u"''%s'' expected", {std::u16string(1, char16_t(c))}));
}

std::int64_t TReader::TokenInt() const {
  const std::string_view t = FText.substr(FTokStart, FTokNumEnd - FTokStart);
  std::uint64_t value = 0;
  bool ok = t.size() > 1 || (!t.empty() && IsDigit(t[0]));
  if (ok && t[0] == '$') {
    // Up to 64 bits of hexadecimal; the top bit gives a negative number.
    std::size_t i = 1;
    while (i < t.size() && t[i] == '0') ++i;
    ok = t.size() - i <= 16;
    for (; ok && i < t.size(); ++i) value = (value << 4) | HexValue(t[i]);
    if (ok) return static_cast<std::int64_t>(value);
  } else if (ok) {
    const bool negative = t[0] == '-';
    const std::string_view digits = t.substr(negative ? 1 : 0);
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    const std::uint64_t limit = negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull;
    ok = ec == std::errc() && end == digits.data() + digits.size() && value <= limit;
    if (ok) return negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
  }
  throw EConvertError(Format(u"'%s' is not a valid integer value", {Quote(t)}));
}

void TReader::CheckTokenFloat() const {
  const std::string_view t = FText.substr(FTokStart, FTokNumEnd - FTokStart);
  std::size_t i = t[0] == '-' ? 1 : 0;
  std::size_t digits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  if (i < t.size() && t[i] == '.')
    for (++i; i < t.size() && IsDigit(t[i]); ++i) ++digits;
  bool ok = digits > 0;
  if (ok && i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    ok = i < t.size() && IsDigit(t[i]);
    while (i < t.size() && IsDigit(t[i])) ++i;
  }
  if (!ok || i != t.size())
    throw EConvertError(Format(u"'%s' is not a valid floating point value", {Quote(t)}));
}

// Appends the current string token. A token with an escape above 127 is
// built in UTF-16 (quoted bytes as code units); any other token is 8-bit
// text in the ANSI code page. ASCII is the same in every ANSI code page, so
// a token without quoted bytes above 127 goes straight in as well. A UTF-8
// file's quoted bytes are always UTF-8, beside escapes of any code.
void TReader::DecodeString(std::u16string& out) {
  const std::string_view t = TokenText();
  const bool direct = !FTokHigh || (FTokWide && !FUtf8);
  FBytes.clear();
  auto take = [&](std::string_view chars) {
    if (direct) {
      // append() from a range of another character type builds a temporary.
      const std::size_t at = out.size();
      out.resize(at + chars.size());
      char16_t* to = out.data() + at;
      for (unsigned char c : chars) *to++ = c;
    } else {
      FBytes += chars;
    }
  };
  for (std::size_t i = 0; i < t.size();) {
    if (t[i] == '\'') {
      // The lexer has checked that every quoted piece is closed.
      for (++i;;) {
        const std::size_t q = t.find('\'', i);
        take(t.substr(i, q - i));
        i = q + 1;
        if (i >= t.size() || t[i] != '\'') break;
        take(t.substr(q, 1));
        ++i;
      }
    } else {
      unsigned code = 0;
      for (++i; i < t.size() && IsDigit(t[i]); ++i) code = (code * 10 + (t[i] - '0')) & 0xFFFF;
      if (direct) {
        out += char16_t(code);
      } else if (code > 127) {
        FDecode(FBytes, out);
        FBytes.clear();
        out += char16_t(code);
      } else {
        FBytes += static_cast<char>(code);
      }
    }
  }
  if (!direct) FDecode(FBytes, out);
}

// --------------------------------------------------------------- parser

void TReader::Enter() {
  if (++FDepth > kMaxNesting)
    SyntaxError(u"Nesting deeper than " + Widen(std::to_string(kMaxNesting)) + u" levels");
}

std::unique_ptr<TSkiffData> TReader::Read() {
  try {
    NextToken();
    ParseObject(true);
  } catch (Exception& e) {
    // A syntax or number error lies at the token the parser stands on.
    FRoot.reset();
    if (e.Place.Line == 0) e.Place = PlaceOf(Here());
    throw;
  }
  if (!FPending.empty()) {
    FRoot.reset();
    auto placed = [this](auto error) {
      error.Place = PlaceOf(FPendingAt);
      return error;
    };
    if (!FClassFound) throw placed(EClassNotFound(FPending));
    throw placed(EReadError(FPending));
  }
  return std::move(FRoot);
}

TTextPlace TReader::PlaceOf(TAt at) const {
  const std::size_t offset = std::min(at.Offset, FText.size());
  std::size_t start = offset;
  while (start > 0 && FText[start - 1] != '\n') --start;
  int column = 1;
  for (std::size_t i = start; i < offset; ++i)
    if (!FUtf8 || (static_cast<unsigned char>(FText[i]) & 0xC0) != 0x80) ++column;
  return {at.Line, column};
}

void TReader::ParseObject(bool isRoot) {
  Enter();
  const int line = FLine;
  if (!(IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline")))
    SyntaxError(u"OBJECT expected");
  NextToken();
  ExpectSymbol();
  std::string_view name, className = TokenText();
  TAt nameAt = Here(), classAt = Here();
  NextToken();
  if (IsChar(':')) {
    NextToken();
    ExpectSymbol();
    name = className;
    className = TokenText();
    classAt = Here();
    NextToken();
  }
  ParseIndex();
  if (isRoot) {
    if (SameTextAscii(className, "TSkiffData")) {
      FClassFound = true;
      FRoot = std::make_unique<TSkiffData>();
      if (name.size() <= kMaxNameLength) FRoot->Name = Widen(name);
      else Fail(FRoot.get(), u"Name", u"Invalid property value", nameAt);
    } else {
      FPending = Format(u"Class %s not found", {Quote(className)});
      FPendingAt = classAt;
    }
  } else if (Applying()) {
    FPending = u"Nested object " + Quote(className) + u" not allowed on line " +
               Widen(std::to_string(line));
    FPendingAt = classAt;
  }
  TPersistent* object = isRoot ? FRoot.get() : nullptr;
  while (!AtPropertyListEnd()) ParseProperty(object);
  while (!IsKeyword("end")) ParseObject(false);
  // Whatever follows the outermost "end" is not read at all.
  if (!isRoot) NextToken();
  --FDepth;
}

void TReader::ParseIndex() {
  if (!IsChar('[')) return;
  NextToken();
  if (FTok != TToken::Integer) SyntaxError(u"Number expected");
  TokenInt();
  NextToken();
  ExpectChar(']');
  NextToken();
}

void TReader::ParseProperty(TPersistent* object) {
  ExpectSymbol();
  const TAt nameAt = Here();
  FPath.assign(1, TokenText());
  NextToken();
  while (IsChar('.')) {
    NextToken();
    ExpectSymbol();
    FPath.push_back(TokenText());
    NextToken();
  }
  ExpectChar('=');
  NextToken();
  const TAt valueAt = Here();

  TTarget target;
  if (Applying()) target = Resolve(object);
  if (IsChar('<')) {
    TCollection* into = nullptr;
    TFrame frame;
    if (Applying()) {
      if (!target.Error.empty()) Fail(object, WrittenPath(), target.Error, nameAt);
      else if (!target.Prop || target.Prop->Kind != TPropKind::Collection)
        Fail(object, WrittenPath(), u"Invalid property value", valueAt);
      else {
        into = static_cast<TCollection*>(target.Prop->Address(*target.Object));
        frame = {DisplayName(object), WrittenPath()};
      }
    }
    ParseCollection(into, frame);
    return;
  }
  // A string is decoded only where one is wanted, straight into its field.
  std::u16string name;
  std::u16string* out = nullptr;
  if (Applying() && target.Error.empty()) {
    if (target.Extra == TExtra::Name) out = &name;
    else if (target.Prop && target.Prop->Kind == TPropKind::String)
      out = static_cast<std::u16string*>(target.Prop->Address(*target.Object));
  }
  // The path is spelled out only for a message; a value never changes FPath.
  const TValue value = ParseValue(out);
  if (!Applying()) return;
  if (!target.Error.empty()) return Fail(object, WrittenPath(), target.Error, nameAt);
  try {
    Apply(target, value, name);
    if (target.Prop) Record(target.Prop->Address(*target.Object), valueAt);
  } catch (const EReadError& e) {
    Fail(object, WrittenPath(), e.Message(), valueAt);
  }
}

std::u16string TReader::WrittenPath() const {
  std::u16string out;
  for (std::string_view n : FPath) {
    if (!out.empty()) out += u'.';
    out += Widen(n);
  }
  return out;
}

std::u16string TReader::DisplayName(TPersistent* object) const {
  if (object == FRoot.get() && !FRoot->Name.empty()) return FRoot->Name;
  return std::u16string(object->ClassName());
}

const TPropInfo* TReader::Find(TPersistent& object, std::string_view name) {
  const std::span<const TPropInfo> props = object.Properties();
  const TPropInfo* p;
  if (props.data() == FHintTable && FHintIndex < props.size() &&
      SameTextAscii(props[FHintIndex].Name, name))
    p = &props[FHintIndex];
  else if (!(p = FindProperty(object, name)))
    return nullptr;
  FHintTable = props.data();
  FHintIndex = static_cast<std::size_t>(p - props.data()) + 1;
  return p;
}

TReader::TTarget TReader::Resolve(TPersistent* object) {
  TTarget t;
  t.Object = object;
  if (object == FRoot.get()) {
    static constexpr std::pair<std::string_view, TExtra> kExtras[] = {
        {"Name", TExtra::Name}, {"Tag", TExtra::Tag}, {"Left", TExtra::Left}, {"Top", TExtra::Top}};
    for (auto [n, extra] : kExtras)
      if (SameTextAscii(n, FPath[0])) {
        if (FPath.size() == 1) t.Extra = extra;
        else t.Error = u"Invalid property path";
        return t;
      }
  }
  for (std::size_t i = 0; i < FPath.size(); ++i) {
    t.Prop = Find(*t.Object, FPath[i]);
    if (!t.Prop) {
      t.Error = Format(u"Property %s does not exist", {Widen(FPath[i])});
      return t;
    }
    if (i + 1 < FPath.size()) {
      if (t.Prop->Kind != TPropKind::Collection) {
        t.Error = u"Invalid property path";
        return t;
      }
      t.Object = static_cast<TCollection*>(t.Prop->Address(*t.Object));
    }
  }
  return t;
}

void TReader::Apply(const TTarget& t, const TValue& v, const std::u16string& name) {
  // Built only when thrown: an exception carries two strings.
  auto invalid = [] { return EReadError(u"Invalid property value"); };
  const TPropKind kind = t.Extra == TExtra::Name ? TPropKind::String
                         : t.Extra != TExtra::None ? TPropKind::Integer
                                                   : t.Prop->Kind;
  switch (kind) {
    case TPropKind::Boolean: {
      const bool isTrue = SameTextAscii(v.Text, "True");
      if (v.Tok != TToken::Symbol || !(isTrue || SameTextAscii(v.Text, "False"))) throw invalid();
      *static_cast<bool*>(t.Prop->Address(*t.Object)) = isTrue;
      return;
    }
    case TPropKind::Integer: {
      if (v.Tok != TToken::Integer || v.Int < INT32_MIN || v.Int > INT32_MAX) throw invalid();
      switch (t.Extra) {
        case TExtra::Tag: FRoot->Tag = static_cast<std::int32_t>(v.Int); break;
        case TExtra::Left: FRoot->Left = static_cast<std::uint16_t>(v.Int); break;
        case TExtra::Top: FRoot->Top = static_cast<std::uint16_t>(v.Int); break;
        default: *static_cast<std::int32_t*>(t.Prop->Address(*t.Object)) = static_cast<std::int32_t>(v.Int);
      }
      return;
    }
    case TPropKind::String:
      if (v.Tok != TToken::String) throw invalid();
      if (t.Extra == TExtra::Name) {
        // The name goes into the header line, where only an identifier fits,
        // and only one short enough for the line.
        if (!name.empty() && (!IsValidIdent(name) || name.size() > kMaxNameLength)) throw invalid();
        FRoot->Name = name;
      }
      return;
    case TPropKind::Collection:
      throw invalid();
  }
}

void TReader::Fail(TPersistent* object, std::u16string_view propName, std::u16string_view message, TAt at) {
  if (!Applying()) return;
  std::u16string msg =
      Format(u"Error reading %s%s%s: %s", {DisplayName(object), u".", propName, message});
  for (auto f = FFrames.rbegin(); f != FFrames.rend(); ++f)
    msg = Format(u"Error reading %s%s%s: %s", {(*f)->ObjectName, u".", (*f)->PropName, msg});
  FPending = std::move(msg);
  FPendingAt = at;
}

void TReader::ParseCollection(TCollection* into, const TFrame& frame) {
  Enter();
  NextToken();
  bool first = true;
  while (!IsChar('>')) {
    if (!IsKeyword("item")) SyntaxError(u"item expected");
    const TAt itemAt = Here();
    NextToken();
    ParseIndex();
    TCollectionItem* item = nullptr;
    if (into && Applying()) {
      if (first) into->Clear();
      item = &into->AddItem();
      Record(item, itemAt);
    }
    first = false;
    if (item) FFrames.push_back(&frame);
    while (!IsKeyword("end")) ParseProperty(item && Applying() ? item : nullptr);
    if (item) FFrames.pop_back();
    NextToken();
  }
  NextToken();
  --FDepth;
}

TReader::TValue TReader::ParseValue(std::u16string* stringOut) {
  TValue v;
  v.Tok = FTok;
  switch (FTok) {
    case TToken::Symbol:
      // A dotted identifier is one value: no blanks around its dots.
      while (Peek() == '.') {
        ++FPos;
        if (!IsLetter(Peek())) SyntaxError(u"Identifier expected");
        while (++FPos < FLimit && IsIdentChar(FText[FPos])) {}
      }
      v.Text = TokenText();
      NextToken();
      return v;
    case TToken::String:
      // Put together in a reused buffer, so the field gets one block of the
      // right size however many pieces the value was written in.
      FWide.clear();
      for (;;) {
        if (stringOut) DecodeString(FWide);
        NextToken();
        if (!IsChar('+')) {
          if (stringOut) *stringOut = FWide;
          return v;
        }
        NextToken();
        if (FTok != TToken::String) SyntaxError(u"String expected");
      }
    case TToken::Integer:
      v.Int = TokenInt();
      NextToken();
      return v;
    case TToken::Float:
      CheckTokenFloat();
      NextToken();
      return v;
    case TToken::Eof:
      break;
    case TToken::Char:
      if (FTokChar == '(') {
        Enter();
        NextToken();
        while (!IsChar(')')) ParseValue(nullptr);
        --FDepth;
        NextToken();
        return v;
      }
      if (FTokChar == '[') {
        NextToken();
        if (!IsChar(']'))
          for (;;) {
            if (FTok == TToken::Integer) TokenInt();
            else ExpectSymbol();
            NextToken();
            if (IsChar(']')) break;
            ExpectChar(',');
            NextToken();
          }
        NextToken();
        return v;
      }
      if (FTokChar == '{') {
        ParseBinary();
        NextToken();
        return v;
      }
      break;
  }
  SyntaxError(u"Invalid property value");
}

void TReader::ParseBinary() {
  for (;;) {
    SkipBlanks();
    FTokStart = FPos;  // a fault is shown at the pair it lies in
    if (Peek() == '}' && FPos < FLimit) {
      ++FPos;
      return;
    }
    if (!IsHexDigit(Peek()) || FPos + 1 >= FLimit || !IsHexDigit(FText[FPos + 1]))
      SyntaxError(u"Invalid binary value");
    FPos += 2;
  }
}

// --------------------------------------------------------------- writer

class TWriter {
 public:
  std::string Write(const TSkiffData& data);

 private:
  void Indent(int level) { FOut.append(2 * level, ' '); }
  void WriteProperties(const TPersistent& object, int level);
  void WriteInteger(std::string_view name, std::int64_t value, int level);
  void WriteString(const std::u16string& s, int level);

  std::string FOut;
};

std::string TWriter::Write(const TSkiffData& data) {
  FOut = "object ";
  if (!data.Name.empty()) {
    for (char16_t c : data.Name) FOut += static_cast<char>(c < 128 ? c : '_');
    FOut += ": ";
  }
  FOut += "TSkiffData\r\n";
  if (data.Tag != 0) WriteInteger("Tag", data.Tag, 1);
  WriteProperties(data, 1);
  if (data.Left != 0) WriteInteger("Left", data.Left, 1);
  if (data.Top != 0) WriteInteger("Top", data.Top, 1);
  FOut += "end\r\n";
  return std::move(FOut);
}

void TWriter::WriteInteger(std::string_view name, std::int64_t value, int level) {
  Indent(level);
  FOut += name;
  FOut += " = ";
  FOut += std::to_string(value);
  FOut += "\r\n";
}

void TWriter::WriteProperties(const TPersistent& object, int level) {
  auto& obj = const_cast<TPersistent&>(object);  // Address() is shared by reader and writer
  for (const TPropInfo& p : object.Properties()) {
    void* field = p.Address(obj);
    switch (p.Kind) {
      case TPropKind::Boolean:
        if (p.OmitDefault && !*static_cast<bool*>(field)) break;
        Indent(level);
        FOut += p.Name;
        FOut += *static_cast<bool*>(field) ? " = True\r\n" : " = False\r\n";
        break;
      case TPropKind::Integer:
        WriteInteger(p.Name, *static_cast<std::int32_t*>(field), level);
        break;
      case TPropKind::String: {
        const auto& s = *static_cast<std::u16string*>(field);
        if (s.empty()) break;
        Indent(level);
        FOut += p.Name;
        FOut += " = ";
        WriteString(s, level);
        FOut += "\r\n";
        break;
      }
      case TPropKind::Collection: {
        const auto& items = *static_cast<TCollection*>(field);
        Indent(level);
        FOut += p.Name;
        FOut += " = <";
        for (int i = 0; i < items.Count(); ++i) {
          FOut += "\r\n";
          Indent(level + 1);
          FOut += "item\r\n";
          WriteProperties(items.ItemAt(i), level + 2);
          Indent(level + 1);
          FOut += "end";
        }
        FOut += ">\r\n";
        break;
      }
    }
  }
}

// Plain characters go between quotes, all others as #code; a line holds
// at most 64 characters, continued with " +".
void TWriter::WriteString(const std::u16string& s, int level) {
  constexpr std::size_t kChunk = 64;
  const int raised = level + 1;
  if (s.empty()) {
    FOut += "''";
    return;
  }
  if (s.size() > kChunk) {
    FOut += "\r\n";
    Indent(raised);
  }
  auto plain = [](char16_t c) { return c >= 32 && c <= 127 && c != '\''; };
  std::size_t chunkStart = 0, i = 0;
  while (i < s.size()) {
    if (plain(s[i])) {
      FOut += '\'';
      do FOut += static_cast<char>(s[i++]);
      while (i < s.size() && plain(s[i]) && i - chunkStart < kChunk);
      FOut += '\'';
    } else {
      FOut += '#';
      FOut += std::to_string(static_cast<unsigned>(s[i++]));
    }
    if (i - chunkStart >= kChunk && i < s.size()) {
      FOut += " +\r\n";
      Indent(raised);
      chunkStart = i;
    }
  }
}

}  // namespace

std::unique_ptr<TSkiffData> TextToComponent(std::string_view text, AnsiDecoder decode, TSettingsPlaces* places) {
  return TReader(text, decode, places).Read();
}

TSettingsEncoding SettingsEncodingOf(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) return TSettingsEncoding::seUtf8Bom;
  bool high = false;
  for (char c : bytes) high |= static_cast<unsigned char>(c) > 127;
  return high && IsUtf8(bytes) ? TSettingsEncoding::seUtf8 : TSettingsEncoding::seAnsi;
}

std::unique_ptr<TSkiffData> FileToComponent(std::string_view bytes, AnsiDecoder ansi, TSettingsPlaces* places) {
  const TSettingsEncoding encoding = SettingsEncodingOf(bytes);
  if (encoding == TSettingsEncoding::seUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
  return TextToComponent(NormalizeLineBreaks(bytes), encoding == TSettingsEncoding::seAnsi ? ansi : AppendUtf8,
                         places);
}

std::string ComponentToText(const TSkiffData& data) { return TWriter().Write(data); }

std::string NormalizeLineBreaks(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16 + 2);
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t end = bytes.find_first_of("\r\n", i);
    const std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
    out.append(bytes, i, stop - i);
    out += "\r\n";
    i = stop;
    if (i < bytes.size() && bytes[i] == '\r') ++i;
    if (i < bytes.size() && bytes[i] == '\n') ++i;
  }
  return out;
}
