// How fast the settings file is read and written, and how much heap reading
// takes, measured against the same settings stored as JSON through RapidJSON.
//
// The settings: 99 groups of 100 entries, every string filled, some with
// characters above 127 and some longer than one 64-character line of the
// settings text. Both formats go through the same property tables, so what
// differs is the format and its parser, not the way fields are found.
//
// Heap use is counted by replacing the global operator new and delete; the
// JSON side allocates through them as well (see TNewAllocator), so both
// peaks count everything.

#include <benchmark/benchmark.h>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "core/DataClasses.h"
#include "core/Errors.h"
#include "core/TextCodec.h"
#include "core/uCompStream.h"

// ------------------------------------------------------------ heap counter

namespace {

// The benchmarks run on one thread, so plain counters do.
std::size_t gLive = 0;
std::size_t gPeak = 0;
std::size_t gAllocs = 0;  // blocks handed out, ever

// Every block carries its size and its distance from malloc's pointer in
// 16 bytes in front of it; that keeps the default alignment and lets
// unsized and aligned deletes find both.
constexpr std::size_t kHeader = 16;

void* TrackedAlloc(std::size_t size, std::size_t align) noexcept {
  const std::size_t extra = align > kHeader ? align : 0;
  char* raw = static_cast<char*>(std::malloc(size + kHeader + extra));
  if (!raw) return nullptr;
  char* user = raw + kHeader;
  if (extra) {
    const std::uintptr_t p = reinterpret_cast<std::uintptr_t>(user);
    user += (align - p % align) % align;
  }
  reinterpret_cast<std::size_t*>(user)[-1] = size;
  reinterpret_cast<std::size_t*>(user)[-2] = static_cast<std::size_t>(user - raw);
  gLive += size;
  if (gLive > gPeak) gPeak = gLive;
  ++gAllocs;
  return user;
}

void TrackedFree(void* p) noexcept {
  if (!p) return;
  char* user = static_cast<char*>(p);
  gLive -= reinterpret_cast<std::size_t*>(user)[-1];
  std::free(user - reinterpret_cast<std::size_t*>(user)[-2]);
}

// For RapidJSON's growing stacks and buffers, which would otherwise use
// realloc.
void* TrackedRealloc(void* p, std::size_t size) noexcept {
  if (!p) return TrackedAlloc(size, 0);
  char* user = static_cast<char*>(p);
  if (reinterpret_cast<std::size_t*>(user)[-2] != kHeader) {
    void* q = TrackedAlloc(size, 0);
    if (q) {
      const std::size_t old = reinterpret_cast<std::size_t*>(user)[-1];
      std::memcpy(q, p, old < size ? old : size);
      TrackedFree(p);
    }
    return q;
  }
  const std::size_t old = reinterpret_cast<std::size_t*>(user)[-1];
  char* raw = static_cast<char*>(std::realloc(user - kHeader, size + kHeader));
  if (!raw) return nullptr;
  user = raw + kHeader;
  reinterpret_cast<std::size_t*>(user)[-1] = size;
  gLive = gLive - old + size;
  if (gLive > gPeak) gPeak = gLive;
  ++gAllocs;
  return user;
}

void* NewOrThrow(std::size_t size, std::size_t align) {
  if (void* p = TrackedAlloc(size, align)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) { return NewOrThrow(n, 0); }
void* operator new[](std::size_t n) { return NewOrThrow(n, 0); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return TrackedAlloc(n, 0); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return TrackedAlloc(n, 0); }
void* operator new(std::size_t n, std::align_val_t a) { return NewOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return NewOrThrow(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return TrackedAlloc(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return TrackedAlloc(n, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { TrackedFree(p); }
void operator delete[](void* p) noexcept { TrackedFree(p); }
void operator delete(void* p, std::size_t) noexcept { TrackedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { TrackedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { TrackedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { TrackedFree(p); }
void operator delete(void* p, std::align_val_t) noexcept { TrackedFree(p); }
void operator delete[](void* p, std::align_val_t) noexcept { TrackedFree(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { TrackedFree(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { TrackedFree(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { TrackedFree(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { TrackedFree(p); }

namespace {

struct THeapUse {
  double Peak = 0;      // most bytes live at once beyond those live before
  double Retained = 0;  // bytes still live afterwards: the result
  double Allocs = 0;    // blocks allocated, reallocations included
};

// Runs `read`, which returns the settings object it built, once.
template <class Read>
THeapUse MeasureHeap(Read&& read) {
  const std::size_t before = gLive;
  const std::size_t allocsBefore = gAllocs;
  gPeak = gLive;
  auto result = read();
  THeapUse use;
  use.Retained = static_cast<double>(gLive - before);
  use.Peak = static_cast<double>(gPeak - before);
  use.Allocs = static_cast<double>(gAllocs - allocsBefore);
  benchmark::DoNotOptimize(result.get());
  return use;
}

// ------------------------------------------------------------- settings

std::u16string Num(int n) { return Widen(std::to_string(n)); }

// Deterministic: everything follows from the group and entry numbers.
std::unique_ptr<TSkiffData> MakeSettings(int groupCount = 99, int appCount = 100) {
  static const std::u16string kWords[] = {
      u"Editor", u"Calculator", u"Terminal", u"Mail", u"Browser",
      u"Paint", u"Backup", u"Archive", u"Player", u"Notes", u"Grüße", u"文字編集",
      u"Überweisung", u"表計算", u"Café crème"};
  constexpr int kWordCount = sizeof kWords / sizeof kWords[0];
  // Longer than one line of the settings text, so the writer splits them.
  const std::u16string longDir =
      u"C:\\Program Files (x86)\\Example Vendor Incorporated\\Office Suite 2024\\bin\\x64\\";
  const std::u16string longText =
      u"Möchten Sie das Programm wirklich starten? Nicht gespeicherte Änderungen "
      u"gehen dabei verloren. 続行しますか?";

  auto d = std::make_unique<TSkiffData>();
  d->Name = u"SkiffData";
  d->Tag = 7;
  d->Left = 120;
  d->Top = 80;
  d->DoFlatButtons = true;
  d->ShowInfo = true;
  d->BtnSize = 2;
  d->Drives = u"cdefgh";
  d->DoubleClickTime = 500;
  d->ExpStartDir = u"C:\\Users\\Public";
  d->ExpRoot = true;
  d->BootDir = u"C:\\Boot\\Größe";
  d->VertBarLineBreak = true;
  d->BeforeScreenSaverCommand = longDir + u"screen saver helper.exe";
  d->BeforeScreenSaverParameters = u"/lock /message \"画面をロックします\"";

  for (int g = 0; g < groupCount; ++g) {
    TGroupItem& group = d->Groups.Add();
    group.Name = (g % 9 == 4 ? u"Büro " : g % 9 == 7 ? u"ツール " : u"Group ") + Num(g);
    for (int a = 0; a < appCount; ++a) {
      const int n = g * appCount + a;
      const std::u16string& word = kWords[(n * 7 + g) % kWordCount];
      TAppItem& app = group.Apps.Add();
      app.Title = word + u" " + Num(a);
      app.Command = (n % 5 == 0 ? longDir : u"C:\\Apps\\" + word + u"\\") +
                    u"app" + Num(n) + u".exe";
      app.Parameters = u"/open \"D:\\Data\\file" + Num(n) + u".txt\"" +
                       (n % 3 == 0 ? u" /quiet" : u"");
      app.Directory = u"C:\\Users\\Public\\Documents\\" + word;
      app.MinimizeOnRun = n % 4 == 1;
      app.WindowState = std::u16string(1, u"NMX"[n % 3]);
      app.DialogType = std::u16string(1, u"NYO"[n % 3]);
      app.DialogText = n % 6 == 0 ? longText : u"Don't forget to save. Start " + app.Title + u"?";
      app.IconLocation = app.Command + u"," + Num(n % 8);
      app.Hint = u"Starts " + app.Title + (n % 10 == 0 ? u" — " + longText : u"");
      app.IgnoreAccessDenied = n % 7 == 3;
    }
  }
  return d;
}

int EntryCount(const TSkiffData& d) {
  int n = 0;
  for (int g = 0; g < d.Groups.Count(); ++g) n += d.Groups[g].Apps.Count();
  return n;
}

// ---------------------------------------------------------------- JSON
//
// {"Name":..., "Tag":..., "Left":..., "Top":..., <the root's properties>,
//  "Groups":[{"Name":..., "Apps":[{"Title":..., ...}, ...]}, ...]}

// RapidJSON's default allocator calls malloc, which the heap counter would
// not see.
struct TNewAllocator {
  static const bool kNeedFree = true;
  void* Malloc(std::size_t size) { return size ? TrackedAlloc(size, 0) : nullptr; }
  void* Realloc(void* p, std::size_t, std::size_t size) {
    if (size == 0) {
      TrackedFree(p);
      return nullptr;
    }
    return TrackedRealloc(p, size);
  }
  static void Free(void* p) { TrackedFree(p); }
};

using TJsonDocument = rapidjson::GenericDocument<rapidjson::UTF8<>,
                                                 rapidjson::MemoryPoolAllocator<TNewAllocator>,
                                                 TNewAllocator>;
using TJsonValue = TJsonDocument::ValueType;

// Two ways to cross between UTF-8 and UTF-16: the program's own converters,
// as they are, and direct ones with a pass for plain ASCII, which is what a
// program tuned for speed would use. Both give the same result for any
// input: non-ASCII text still goes through the full, validating conversion.
enum class TConv { Codec, Direct };

template <TConv conv>
void Utf8To16(std::string_view s, std::u16string& out) {
  if constexpr (conv == TConv::Direct) {
    bool ascii = true;
    for (unsigned char c : s) ascii &= c < 0x80;
    if (ascii) {
      // assign() from a range of another character type would build a
      // temporary string first.
      out.resize(s.size());
      char16_t* to = out.data();
      for (unsigned char c : s) *to++ = c;
      return;
    }
  }
  out = Utf8ToUtf16(s);
}

// `scratch` is reused across values, as a writer of many strings would.
template <TConv conv>
std::string_view Utf16To8(std::u16string_view s, std::string& scratch) {
  if constexpr (conv == TConv::Direct) {
    scratch.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
      char32_t c = s[i];
      if (c < 0x80) {
        scratch += static_cast<char>(c);
        continue;
      }
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
        ++i;
      } else if (c >= 0xD800 && c < 0xE000) {
        c = 0xFFFD;
      }
      if (c < 0x800) {
        scratch += static_cast<char>(0xC0 | (c >> 6));
      } else {
        if (c < 0x10000) {
          scratch += static_cast<char>(0xE0 | (c >> 12));
        } else {
          scratch += static_cast<char>(0xF0 | (c >> 18));
          scratch += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        }
        scratch += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      }
      scratch += static_cast<char>(0x80 | (c & 0x3F));
    }
  } else {
    scratch = Utf16ToUtf8(s);
  }
  return scratch;
}

template <TConv conv, class Writer>
class TJsonWriter {
 public:
  explicit TJsonWriter(Writer& w) : W(w) {}

  void Write(const TSkiffData& d) {
    W.StartObject();
    if (!d.Name.empty()) {
      W.Key("Name");
      String(d.Name);
    }
    if (d.Tag != 0) {
      W.Key("Tag");
      W.Int(d.Tag);
    }
    if (d.Left != 0) {
      W.Key("Left");
      W.Uint(d.Left);
    }
    if (d.Top != 0) {
      W.Key("Top");
      W.Uint(d.Top);
    }
    Properties(d);
    W.EndObject();
  }

 private:
  void String(const std::u16string& s) {
    const std::string_view u8 = Utf16To8<conv>(s, Scratch);
    W.String(u8.data(), static_cast<rapidjson::SizeType>(u8.size()));
  }

  void Properties(const TPersistent& object) {
    auto& obj = const_cast<TPersistent&>(object);
    for (const TPropInfo& p : object.Properties()) {
      void* field = p.Address(obj);
      // Empty strings are left out, as in the settings text.
      if (p.Kind == TPropKind::String && static_cast<std::u16string*>(field)->empty()) continue;
      W.Key(p.Name.data(), static_cast<rapidjson::SizeType>(p.Name.size()));
      switch (p.Kind) {
        case TPropKind::Boolean: W.Bool(*static_cast<bool*>(field)); break;
        case TPropKind::Integer: W.Int(*static_cast<std::int32_t*>(field)); break;
        case TPropKind::String: String(*static_cast<std::u16string*>(field)); break;
        case TPropKind::Collection: {
          const auto& items = *static_cast<TCollection*>(field);
          W.StartArray();
          for (int i = 0; i < items.Count(); ++i) {
            W.StartObject();
            Properties(items.ItemAt(i));
            W.EndObject();
          }
          W.EndArray();
          break;
        }
      }
    }
  }

  Writer& W;
  std::string Scratch;
};

template <TConv conv>
rapidjson::StringBuffer WriteJson(const TSkiffData& d) {
  rapidjson::StringBuffer out;
  rapidjson::Writer<rapidjson::StringBuffer> w(out);
  TJsonWriter<conv, rapidjson::Writer<rapidjson::StringBuffer>>(w).Write(d);
  return out;
}

const TPropInfo* FindExact(const TPersistent& object, std::string_view name) {
  for (const TPropInfo& p : object.Properties())
    if (p.Name == name) return &p;
  return nullptr;
}

[[noreturn]] void BadJson(std::string_view what) { throw EReadError(what); }

template <TConv conv>
void ReadJsonObject(const TJsonValue& v, TPersistent& object) {
  if (!v.IsObject()) BadJson("object expected");
  for (const auto& m : v.GetObject()) {
    const std::string_view key(m.name.GetString(), m.name.GetStringLength());
    const TPropInfo* p = FindExact(object, key);
    if (!p) BadJson("unknown property");
    void* field = p->Address(object);
    const TJsonValue& value = m.value;
    switch (p->Kind) {
      case TPropKind::Boolean:
        if (!value.IsBool()) BadJson("Boolean expected");
        *static_cast<bool*>(field) = value.GetBool();
        break;
      case TPropKind::Integer:
        if (!value.IsInt()) BadJson("integer expected");
        *static_cast<std::int32_t*>(field) = value.GetInt();
        break;
      case TPropKind::String:
        if (!value.IsString()) BadJson("string expected");
        Utf8To16<conv>({value.GetString(), value.GetStringLength()},
                       *static_cast<std::u16string*>(field));
        break;
      case TPropKind::Collection: {
        if (!value.IsArray()) BadJson("array expected");
        auto& items = *static_cast<TCollection*>(field);
        items.Clear();
        for (const TJsonValue& item : value.GetArray()) ReadJsonObject<conv>(item, items.AddItem());
        break;
      }
    }
  }
}

template <TConv conv>
std::unique_ptr<TSkiffData> ReadJson(std::string_view json) {
  TJsonDocument doc;
  doc.Parse(json.data(), json.size());
  if (doc.HasParseError() || !doc.IsObject()) BadJson("not a JSON object");
  auto d = std::make_unique<TSkiffData>();
  // The component's own fields are not in the property table.
  TJsonValue& root = doc;
  auto take = [&](const char* name, auto&& set) {
    if (auto m = root.FindMember(name); m != root.MemberEnd()) {
      set(m->value);
      root.RemoveMember(m);
    }
  };
  take("Name", [&](const TJsonValue& v) {
    if (!v.IsString()) BadJson("string expected");
    Utf8To16<conv>({v.GetString(), v.GetStringLength()}, d->Name);
  });
  take("Tag", [&](const TJsonValue& v) {
    if (!v.IsInt()) BadJson("integer expected");
    d->Tag = v.GetInt();
  });
  take("Left", [&](const TJsonValue& v) {
    if (!v.IsUint() || v.GetUint() > 0xFFFF) BadJson("integer expected");
    d->Left = static_cast<std::uint16_t>(v.GetUint());
  });
  take("Top", [&](const TJsonValue& v) {
    if (!v.IsUint() || v.GetUint() > 0xFFFF) BadJson("integer expected");
    d->Top = static_cast<std::uint16_t>(v.GetUint());
  });
  ReadJsonObject<conv>(root, *d);
  return d;
}

// ------------------------------------------------------------ fixtures

struct TFiles {
  std::unique_ptr<TSkiffData> Data = MakeSettings();
  int Entries = EntryCount(*Data);
  std::string Text = ComponentToText(*Data);
  std::string Json = WriteJson<TConv::Direct>(*Data).GetString();
  std::string Problem;  // why the two files do not hold the same settings

  TFiles() {
    // Every form must give back exactly the settings it was made from, or
    // the times compare different work.
    const std::string codecJson = WriteJson<TConv::Codec>(*Data).GetString();
    if (codecJson != Json) Problem = "the two JSON writers disagree";
    else if (ComponentToText(*TextToComponent(Text)) != Text) Problem = "settings text does not round-trip";
    else if (ComponentToText(*ReadJson<TConv::Direct>(Json)) != Text) Problem = "JSON (direct) does not round-trip";
    else if (ComponentToText(*ReadJson<TConv::Codec>(Json)) != Text) Problem = "JSON (codec) does not round-trip";
    else if (Text.find(" +\r\n") == std::string::npos)
      Problem = "no string was long enough to be split";
    else if (Text.find("#252") == std::string::npos || Text.find("#25991") == std::string::npos)
      Problem = "the characters above 127 did not reach the file";
  }
};

const TFiles& Files() {
  static const TFiles files;
  return files;
}

bool Ready(benchmark::State& state) {
  if (!Files().Problem.empty()) {
    state.SkipWithError(Files().Problem.c_str());
    return false;
  }
  return true;
}

void Report(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.SetItemsProcessed(state.iterations() * Files().Entries);
  state.counters["file_bytes"] = static_cast<double>(bytes);
}

void ReportHeap(benchmark::State& state, const THeapUse& use, std::size_t fileBytes) {
  state.counters["peak_over_file"] = use.Peak / static_cast<double>(fileBytes);
  state.counters["result_over_file"] = use.Retained / static_cast<double>(fileBytes);
  state.counters["allocs_per_entry"] = use.Allocs / Files().Entries;
}

// ----------------------------------------------------------- benchmarks

// Other work on the machine only ever adds time, so with repetitions the
// fastest run is the steadiest figure next to the median. (On the "min"
// line the rates are their own minimum, so take bytes/s from the median.)
void Setup(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond);
  b->ComputeStatistics("min", [](const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
  });
}

void BM_TextToComponent(benchmark::State& state) {
  if (!Ready(state)) return;
  const std::string& text = Files().Text;
  const THeapUse heap = MeasureHeap([&] { return TextToComponent(text); });
  for (auto _ : state) {
    auto data = TextToComponent(text);
    benchmark::DoNotOptimize(data.get());
  }
  Report(state, text.size());
  ReportHeap(state, heap, text.size());
}
BENCHMARK(BM_TextToComponent)->Apply(Setup);

template <TConv conv>
void BM_RapidJsonRead(benchmark::State& state) {
  if (!Ready(state)) return;
  const std::string& json = Files().Json;
  const THeapUse heap = MeasureHeap([&] { return ReadJson<conv>(json); });
  for (auto _ : state) {
    auto data = ReadJson<conv>(json);
    benchmark::DoNotOptimize(data.get());
  }
  Report(state, json.size());
  ReportHeap(state, heap, json.size());
}
BENCHMARK(BM_RapidJsonRead<TConv::Direct>)->Name("BM_RapidJsonRead")->Apply(Setup);
BENCHMARK(BM_RapidJsonRead<TConv::Codec>)->Name("BM_RapidJsonRead/Utf8ToUtf16")->Apply(Setup);

void BM_ComponentToText(benchmark::State& state) {
  if (!Ready(state)) return;
  const TSkiffData& data = *Files().Data;
  std::size_t size = 0;
  for (auto _ : state) {
    std::string text = ComponentToText(data);
    size = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  if (size != Files().Text.size()) state.SkipWithError("the writer's output changed size");
  Report(state, size);
}
BENCHMARK(BM_ComponentToText)->Apply(Setup);

template <TConv conv>
void BM_RapidJsonWrite(benchmark::State& state) {
  if (!Ready(state)) return;
  const TSkiffData& data = *Files().Data;
  std::size_t size = 0;
  for (auto _ : state) {
    rapidjson::StringBuffer json = WriteJson<conv>(data);
    size = json.GetSize();
    benchmark::DoNotOptimize(json.GetString());
  }
  if (size != Files().Json.size()) state.SkipWithError("the writer's output changed size");
  Report(state, size);
}
BENCHMARK(BM_RapidJsonWrite<TConv::Direct>)->Name("BM_RapidJsonWrite")->Apply(Setup);
BENCHMARK(BM_RapidJsonWrite<TConv::Codec>)->Name("BM_RapidJsonWrite/Utf16ToUtf8")->Apply(Setup);

}  // namespace

BENCHMARK_MAIN();
