#include "core/filedrag.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/TextCodec.h"

namespace {

std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

TEST(filedrag, SplitsATableOfNames) {
  struct Case {
    std::u16string full, nameOnly, extension, title, folder;
  };
  const std::u16string longName = std::u16string(300, u'n') + u".txt";
  const Case cases[] = {
      {u"C:\\Tools\\archive.tar.gz", u"archive.tar.gz", u"tar.gz", u"archive", u"C:\\Tools"},
      {u"C:\\Tools\\README", u"README", u"", u"README", u"C:\\Tools"},
      // The dot of a folder is not the file's: the split stops at the last "\".
      {u"C:\\My.Dir\\app", u"app", u"", u"app", u"C:\\My.Dir"},
      {u"C:\\My.Dir\\app.exe", u"app.exe", u"exe", u"app", u"C:\\My.Dir"},
      {u"C:\\Tools\\name.", u"name.", u"", u"name", u"C:\\Tools"},
      {u"C:\\Users\\me\\.profile", u".profile", u"profile", u".profile", u"C:\\Users\\me"},
      // A file in a drive's root keeps the root as its folder.
      {u"C:\\setup.exe", u"setup.exe", u"exe", u"setup", u"C:\\"},
      {u"\\\\server\\share\\tool.cmd", u"tool.cmd", u"cmd", u"tool", u"\\\\server\\share"},
      // A folder dropped: its name is listed like any other.
      {u"C:\\Tools\\", u"", u"", u"", u"C:\\Tools"},
      // Without a "\" the whole name is the bare name.
      {u"notes.txt", u"notes.txt", u"txt", u"notes", u""},
      {u"", u"", u"", u"", u""},
      // Any length, any character.
      {u"D:\\" + longName, longName, u"txt", std::u16string(300, u'n'), u"D:\\"},
      {u"C:\\\u6587\u4EF6\\\U0001F600.\u00E9x\u00E9", u"\U0001F600.\u00E9x\u00E9", u"\u00E9x\u00E9", u"\U0001F600",
       u"C:\\\u6587\u4EF6"},
  };
  for (const Case& c : cases) {
    const TDroppedName split = SplitDroppedName(c.full);
    EXPECT_EQ(split.NameWithPath, c.full);
    EXPECT_EQ(split.NameOnly, c.nameOnly) << U8(c.full);
    EXPECT_EQ(split.Extension, c.extension) << U8(c.full);
    EXPECT_EQ(DroppedTitle(split.NameOnly), c.title) << U8(c.full);
    EXPECT_EQ(DroppedFolder(c.full), c.folder) << U8(c.full);
  }
}

TEST(filedrag, EachDropReplacesTheListsAndEachFileIsSplitOnItsOwn) {
  TDroppedFiles drop;
  EXPECT_EQ(drop.FileCount, 0);
  drop.Assign({u"C:\\Tools\\archive.tar.gz", u"C:\\Tools\\README", u"C:\\My.Dir\\app"});
  EXPECT_EQ(drop.FileCount, 3);
  EXPECT_EQ(drop.NameWithPath,
            (std::vector<std::u16string>{u"C:\\Tools\\archive.tar.gz", u"C:\\Tools\\README", u"C:\\My.Dir\\app"}));
  EXPECT_EQ(drop.NameOnly, (std::vector<std::u16string>{u"archive.tar.gz", u"README", u"app"}));
  // README after a file with an extension still has none.
  EXPECT_EQ(drop.Extension, (std::vector<std::u16string>{u"tar.gz", u"", u""}));

  drop.Assign({u"C:\\one.txt"});
  EXPECT_EQ(drop.FileCount, 1);
  EXPECT_EQ(drop.NameOnly, std::vector<std::u16string>{u"one.txt"});
  EXPECT_EQ(drop.Extension.size(), 1u);

  drop.Assign({});
  EXPECT_EQ(drop.FileCount, 0);
  EXPECT_TRUE(drop.NameWithPath.empty() && drop.NameOnly.empty() && drop.Extension.empty());
}

}  // namespace
