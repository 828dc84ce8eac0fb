#include "common/latin1.h"

#include <gtest/gtest.h>

namespace kelvane {
namespace {

TEST(Latin1, WidensHighBytesToUtf8AndKeepsAscii) {
    EXPECT_EQ(latin1ToUtf8("head"), "head");
    EXPECT_EQ(latin1ToUtf8("t\xEAte"), "t\xC3\xAAte");      // ê
    EXPECT_EQ(latin1ToUtf8("\xFF\x80"), "\xC3\xBF\xC2\x80");
    EXPECT_EQ(latin1ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace kelvane
