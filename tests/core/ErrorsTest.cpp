#include "core/Errors.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(Errors, ExceptionMessageIsWhatTheUserIsShown) {
  // Ours keep their UTF-16 text whole; others are read as UTF-8.
  EXPECT_EQ(ExceptionMessage(EStreamError(std::u16string(u"Cannot create file \"C:\\\u00c4\u4e2d.dat\"."))),
            u"Cannot create file \"C:\\\u00c4\u4e2d.dat\".");
  EXPECT_EQ(ExceptionMessage(std::runtime_error("caf\xc3\xa9")), u"caf\u00e9");
  EXPECT_EQ(Format(u"Cannot assign a %s to a %s", {u"TAppItem", u"TGroupItem"}),
            u"Cannot assign a TAppItem to a TGroupItem");
}

}  // namespace
