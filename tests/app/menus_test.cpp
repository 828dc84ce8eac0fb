#include "app/menus.h"

#include <gtest/gtest.h>

#include "common/latin1.h"

namespace kelvane {
namespace {

// Names are Latin-1, widened to UTF-8 and cut to 19 characters (not bytes);
// they stop at a NUL and show control bytes as '?'. (The widening itself is
// spelt out in the "tête" row.)
TEST(MenuLabels, NamesAreCutToNineteenCharactersStopAtNulAndHideControlBytes) {
    const auto current = Generation::Current, legacy = Generation::Legacy;
    for (const auto& [label, expected] : std::initializer_list<std::pair<std::string, std::string>>{
             {objectLabel(current, 4, std::string("abcdefghijklmn")), "04 <abcdefghijklmn>"},  // 19 fits
             {objectLabel(current, 4, std::string("abcdefghijklmno")), "04 <abcdefghijklm~>"},
             {textureLabel(current, 0, "abcdefghijklmnop"), "00 <abcdefghijklm~>"},
             {textureLabel(legacy, 0, "abcdefghijklmnopq"), "00:abcdefghijklmno~"},
             {objectLabel(current, 1, std::string("t\xEAte\xA9")), "01 <t\xC3\xAAte\xC2\xA9>"},
             {objectLabel(current, 1, std::string(15, '\xE9')), "01 <" + latin1ToUtf8(std::string(13, '\xE9')) + "~>"},
             {objectLabel(current, 0, std::string("ab\0cd", 5)), "00 <ab>"},
             {textureLabel(current, 0, "a\nb\tc\x7F" "d\x85"), "00 <a?b?c?d?>"},
             {objectLabel(current, 0, std::string()), "00 <>"},
             {objectLabel(current, 1, std::nullopt), "01 Empty"}})
        EXPECT_EQ(label, expected);
}

}  // namespace
}  // namespace kelvane
