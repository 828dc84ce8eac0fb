#include "app/about.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace kelvane {
namespace {

using apptest::isUtf8;

const std::string kHelp =
    "Keyboard commands :\r\rUP / DOWN Arrow : Y Translation\rLEFT / RIGHT Arrow : X Translation\r"
    "HOME : Reset X & Y";

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(About, CurrentTextEndsWithHelpAndTheGlStrings) {
    const std::string text = aboutText(Generation::Current, "llvmpipe", "4.5 Mesa");
    EXPECT_TRUE(endsWith(text, "\r\r" + kHelp + "\r\r GL_RENDERER : llvmpipe\r GL_VERSION  : 4.5 Mesa")) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos);  // lines end with a lone CR
    EXPECT_NE(text.find("S3TC"), std::string::npos);
    EXPECT_NE(text.find("OpenGL"), std::string::npos);
    EXPECT_LE(text.size(), kMaxAboutBytes);
}

TEST(About, LegacyTextIsFixed) {
    const std::string text = aboutText(Generation::Legacy, "llvmpipe", "4.5");
    EXPECT_TRUE(endsWith(text, "\r\r" + kHelp));
    EXPECT_EQ(text.find("GL_"), std::string::npos);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text, aboutText(Generation::Legacy, "", ""));
}

TEST(About, LongGlStringsAreShortenedToFitTheBuffer) {
    const std::string huge(5000, 'r');
    std::string text = aboutText(Generation::Current, huge, huge);
    EXPECT_EQ(text.size(), kMaxAboutBytes);
    EXPECT_TRUE(endsWith(text, "...")) << text.substr(text.size() - 10);
    const auto rendererAt = text.find(" GL_RENDERER : ") + 15;
    const auto versionLine = text.find("\r GL_VERSION  : ");
    ASSERT_NE(versionLine, std::string::npos);
    EXPECT_EQ(text.compare(versionLine - 3, 3, "..."), 0);
    // Both strings get about half of the room.
    const auto rendererShown = versionLine - rendererAt;
    const auto versionShown = text.size() - (versionLine + 16);
    EXPECT_LE(rendererShown > versionShown ? rendererShown - versionShown : versionShown - rendererShown, 1u);

    // A short string stays whole; the long one takes the rest.
    text = aboutText(Generation::Current, "llvmpipe", huge);
    EXPECT_EQ(text.size(), kMaxAboutBytes);
    EXPECT_NE(text.find(" GL_RENDERER : llvmpipe\r"), std::string::npos);
    text = aboutText(Generation::Current, huge, "4.5");
    EXPECT_TRUE(endsWith(text, "...\r GL_VERSION  : 4.5"));
    EXPECT_EQ(text.size(), kMaxAboutBytes);
}

TEST(About, ShorteningNeverSplitsAUtf8Character) {
    std::string wide;
    for (int i = 0; i < 900; ++i) wide += "\xC3\xA9";  // é
    for (const auto& [renderer, version] : {std::pair{wide, wide}, std::pair{wide + "x", std::string("1")},
                                            std::pair{std::string("x"), "\xE2\x82\xAC" + wide}}) {
        const std::string text = aboutText(Generation::Current, renderer, version);
        EXPECT_LE(text.size(), kMaxAboutBytes);
        EXPECT_TRUE(isUtf8(text));
    }
}

}  // namespace
}  // namespace kelvane
