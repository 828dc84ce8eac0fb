#include "app/about.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/menus.h"
#include "common/latin1.h"
#include "tests/app/app_test_support.h"

namespace kelvane {
namespace {

// GL strings too long for the box's buffer share its room, each cut with "...";
// a short one stays whole. The earlier viewer shows no GL strings at all.
TEST(About, LongGlStringsShareTheBufferAndNeverSplitACharacter) {
    const std::string huge(5000, 'r');
    const std::string text = aboutText(Generation::Current, huge, huge);
    EXPECT_EQ(std::pair(text.size(), text.ends_with("...")), std::pair(kMaxAboutBytes, true));
    const auto rendererAt = text.find(" GL_RENDERER : ") + 15, versionLine = text.find("\r GL_VERSION  : ");
    ASSERT_NE(versionLine, std::string::npos);
    EXPECT_EQ(text.compare(versionLine - 3, 3, "..."), 0);
    const auto rendererShown = versionLine - rendererAt, versionShown = text.size() - (versionLine + 16);
    EXPECT_LE(std::max(rendererShown, versionShown) - std::min(rendererShown, versionShown), 1u);
    EXPECT_NE(aboutText(Generation::Current, "llvmpipe", huge).find(" GL_RENDERER : llvmpipe\r"), std::string::npos);
    EXPECT_TRUE(aboutText(Generation::Current, huge, "4.5").ends_with("...\r GL_VERSION  : 4.5"));
    EXPECT_EQ(aboutText(Generation::Legacy, huge, huge), aboutText(Generation::Legacy, "", ""));

    const std::string wide = latin1ToUtf8(std::string(900, '\xE9'));
    for (const auto& [renderer, version] : {std::pair{wide, wide}, std::pair{wide + "x", std::string("1")},
                                            std::pair{std::string("x"), "\xE2\x82\xAC" + wide}}) {
        const std::string shown = aboutText(Generation::Current, renderer, version);
        EXPECT_LE(shown.size(), kMaxAboutBytes);
        EXPECT_NO_THROW(nlohmann::json(shown).dump()) << renderer.size();  // a character cut in two does not dump
    }
}

// Help > About shows one box, captioned "Kelvane", that holds the keys' help.
TEST(About, HelpAboutShowsOneBoxWithTheKeyboardHelp) {
    for (auto generation : {Generation::Current, Generation::Legacy}) {
        apptest::ViewerHarness h(generation);
        h.command(cmd::About);
        ASSERT_EQ(h.platform.messageBoxes.size(), 1u);
        EXPECT_EQ(h.platform.messageBoxes[0].caption, "Kelvane");
        EXPECT_NE(h.platform.messageBoxes[0].text.find("Keyboard commands :\r\rUP / DOWN Arrow : Y Translation\r"
                                                       "LEFT / RIGHT Arrow : X Translation\rHOME : Reset X & Y"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace kelvane
