#include <gtest/gtest.h>

#include "platform/win32/message_routing.h"
#include "platform/win32/text.h"

namespace kelvane::platform::win32 {
namespace {

TEST(MenuMnemonics, AmpersandsAreDoubledAndNothingElseChanges) {
    for (auto [label, shown] : {std::pair{"00 <Fish & Chips>", "00 <Fish && Chips>"}, {"&&", "&&&&"}, {"&", "&&"},
                                {"01 <J\xC3\xA9r\xC3\xB4me>", "01 <J\xC3\xA9r\xC3\xB4me>"}, {"", ""}})
        EXPECT_EQ(escapeMenuMnemonics(label), shown);
}

TEST(MessageRouting, OnlyTheViewersMessagesReachTheApp) {
    for (std::uint32_t m : {msg::Create, msg::Destroy, msg::Size, msg::Close, msg::KeyDown, msg::Command,
                            msg::MenuSelect, msg::MouseMove, msg::MouseWheel, msg::ExitMenuLoop})
        EXPECT_TRUE(isAppMessage(m)) << m;
    // Painting, system keys (Alt, F10 for the menu) and non-client clicks
    // keep their default handling.
    for (std::uint32_t m : {0x000Fu /* paint */, 0x0104u /* sys key down */, 0x0112u /* sys command */,
                            0x00A1u /* non-client button down */, 0x0000u})
        EXPECT_FALSE(isAppMessage(m)) << m;
}

}  // namespace
}  // namespace kelvane::platform::win32
