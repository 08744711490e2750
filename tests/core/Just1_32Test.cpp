#include "core/Just1_32.h"

#include <gtest/gtest.h>

#include "core/TextCodec.h"

namespace {

std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

TEST(Just1_32, NamesFromTheExecutablePath) {
  struct Case {
    std::u16string path, fileName, mutexName, searchTitle;
  };
  const Case cases[] = {
      {u"C:\\Program Files\\Dorvane\\Dorvane.exe", u"Dorvane.exe", u"Dorvane.exe", u"Dorvane"},
      {u"C:\\Tools\\PROG.EXE", u"PROG.EXE", u"PROG.EXE", u"PROG"},
      {u"\\\\server\\share\\Prog.Exe", u"Prog.Exe", u"Prog.Exe", u"Prog"},
      {u"C:/mixed/slashes/app.exe", u"app.exe", u"app.exe", u"app"},
      {u"C:app.exe", u"app.exe", u"app.exe", u"app"},
      {u"app.exe", u"app.exe", u"app.exe", u"app"},
      // Only a final ".exe" is the extension; the name keeps its other dots.
      {u"C:\\x\\My.Tool.v2.exe", u"My.Tool.v2.exe", u"My.Tool.v2.exe", u"My.Tool.v2"},
      // No ".exe" at the end: the copy is still recognised by the mutex,
      // but no window is looked for (an empty title matches untitled windows).
      {u"C:\\x\\PROG.EXE.bak", u"PROG.EXE.bak", u"PROG.EXE.bak", u""},
      {u"C:\\x\\Dorvane", u"Dorvane", u"Dorvane", u""},
      {u"C:\\x\\Dorvane.com", u"Dorvane.com", u"Dorvane.com", u""},
      {u"C:\\x\\.exe", u".exe", u".exe", u""},
      {u"C:\\x\\exe", u"exe", u"exe", u""},
      {u"C:\\x\\", u"", u"", u""},
      // Any characters, surrogate pairs included, and names past MAX_PATH.
      {u"C:\\\u4e2d\u6587\\D\u00f6rvane \U0001F600.exe", u"D\u00f6rvane \U0001F600.exe",
       u"D\u00f6rvane \U0001F600.exe", u"D\u00f6rvane \U0001F600"},
      {u"C:\\" + std::u16string(300, u'd') + u"\\" + std::u16string(250, u'n') + u".exe",
       std::u16string(250, u'n') + u".exe", std::u16string(250, u'n') + u".exe", std::u16string(250, u'n')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.path));
    EXPECT_EQ(U8(ExeFileNamePart(c.path)), U8(c.fileName));
    EXPECT_EQ(U8(InstanceMutexName(c.path)), U8(c.mutexName));
    EXPECT_EQ(U8(InstanceSearchTitle(c.fileName)), U8(c.searchTitle));
  }
}

}  // namespace
