#include <gtest/gtest.h>

#include "platform/win32/text.h"

namespace kelvane::platform::win32 {
namespace {

TEST(MenuMnemonics, AmpersandsAreDoubledAndNothingElseChanges) {
    for (auto [label, shown] : {std::pair{"00 <Fish & Chips>", "00 <Fish && Chips>"}, {"&&", "&&&&"}, {"&", "&&"},
                                {"01 <J\xC3\xA9r\xC3\xB4me>", "01 <J\xC3\xA9r\xC3\xB4me>"}, {"", ""}})
        EXPECT_EQ(escapeMenuMnemonics(label), shown);
}

}  // namespace
}  // namespace kelvane::platform::win32
