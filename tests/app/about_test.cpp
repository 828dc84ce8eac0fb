#include "app/about.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace kelvane {
namespace {

// The earlier viewer shows no GL strings; lines end with lone CRs.
TEST(About, OnlyTheCurrentTextNamesTheGlStrings) {
    const std::string current = aboutText(Generation::Current, "llvmpipe", "4.5 Mesa");
    EXPECT_TRUE(current.ends_with("\r\r GL_RENDERER : llvmpipe\r GL_VERSION  : 4.5 Mesa")) << current;
    const std::string legacy = aboutText(Generation::Legacy, "llvmpipe", "4.5");
    EXPECT_EQ(legacy, aboutText(Generation::Legacy, "", ""));
    for (const auto& text : {current, legacy}) EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(About, LongGlStringsShareTheBufferAndNeverSplitACharacter) {
    const std::string huge(5000, 'r');
    std::string text = aboutText(Generation::Current, huge, huge);
    EXPECT_EQ(text.size(), kMaxAboutBytes);
    EXPECT_TRUE(text.ends_with("..."));
    const auto rendererAt = text.find(" GL_RENDERER : ") + 15;
    const auto versionLine = text.find("\r GL_VERSION  : ");
    ASSERT_NE(versionLine, std::string::npos);
    EXPECT_EQ(text.compare(versionLine - 3, 3, "..."), 0);
    // Both strings get about half of the room.
    const auto rendererShown = versionLine - rendererAt, versionShown = text.size() - (versionLine + 16);
    EXPECT_LE(rendererShown > versionShown ? rendererShown - versionShown : versionShown - rendererShown, 1u);
    // A short string stays whole; the long one takes the rest.
    text = aboutText(Generation::Current, "llvmpipe", huge);
    EXPECT_EQ(text.size(), kMaxAboutBytes);
    EXPECT_NE(text.find(" GL_RENDERER : llvmpipe\r"), std::string::npos);
    text = aboutText(Generation::Current, huge, "4.5");
    EXPECT_TRUE(text.ends_with("...\r GL_VERSION  : 4.5"));
    EXPECT_EQ(text.size(), kMaxAboutBytes);

    std::string wide;
    for (int i = 0; i < 900; ++i) wide += "\xC3\xA9";  // é
    for (const auto& [renderer, version] : {std::pair{wide, wide}, std::pair{wide + "x", std::string("1")},
                                            std::pair{std::string("x"), "\xE2\x82\xAC" + wide}}) {
        text = aboutText(Generation::Current, renderer, version);
        EXPECT_LE(text.size(), kMaxAboutBytes);
        EXPECT_TRUE(apptest::isUtf8(text));
    }
}

}  // namespace
}  // namespace kelvane
