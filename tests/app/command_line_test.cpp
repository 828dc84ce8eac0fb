#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/version.h"

namespace kelvane {
namespace {

using Arguments = std::vector<std::string>;
using Paths = std::vector<std::filesystem::path>;
using namespace std::string_literals;

// Files of the three kinds open in order, printing nothing; after "--" a
// name may start with a dash; UTF-8 names stay whole.
TEST(CommandLine, FilesOfTheThreeKindsOpenInOrderAndNoWatchStopsFollowing) {
    for (auto [arguments, follow, files] :
         {std::tuple{Arguments{}, true, Paths{}},
          std::tuple{Arguments{"head.EBO", "--no-watch", "dir/Head.Fsh", "p.bmp"}, false,
                     Paths{"head.EBO", "dir/Head.Fsh", "p.bmp"}},
          std::tuple{Arguments{"--", "-odd.ebo", "t\xC3\xAAte.fsh"}, true, Paths{"-odd.ebo", u8"t\u00EAte.fsh"}}}) {
        testing::internal::CaptureStdout();
        const auto parsed = parseCommandLine(Generation::Current, arguments);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        ASSERT_TRUE(std::holds_alternative<ViewerOptions>(parsed));
        EXPECT_EQ(std::get<ViewerOptions>(parsed).followFiles, follow);
        EXPECT_EQ(std::get<ViewerOptions>(parsed).files, files);
    }
}

// --help and --version print and end with 0; a usage error prints one line on
// standard error, named after the program, and ends with 2.
TEST(CommandLine, HelpAndVersionPrintAndEndWellUsageErrorsTakeOneLineAndStatusTwo) {
    for (auto generation : {Generation::Current, Generation::Legacy}) {
        const std::string program = generation == Generation::Legacy ? "kelvane-legacy" : "kelvane";
        for (const auto& [arguments, status, out] :
             {std::tuple{Arguments{"--version"}, 0, program + " " + kVersion + "\n"},
              std::tuple{Arguments{"a.ebo", "--help"}, 0, "--no-watch"s},
              std::tuple{Arguments{"--bogus"}, 2, ""s}, std::tuple{Arguments{"a.ebo", "b.txt"}, 2, ""s},
              std::tuple{Arguments{"head"}, 2, ""s}, std::tuple{Arguments{"-x"}, 2, ""s}}) {
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            const auto parsed = parseCommandLine(generation, arguments);
            const std::string printed = testing::internal::GetCapturedStdout();
            const std::string err = testing::internal::GetCapturedStderr();
            EXPECT_EQ(std::get<int>(parsed), status) << arguments.back();
            EXPECT_EQ(status == 2 ? printed.empty() : printed.find(out) != std::string::npos, true) << printed;
            EXPECT_EQ(err.rfind(program + ": ", 0) == 0 && std::count(err.begin(), err.end(), '\n') == 1, status == 2)
                << err;
        }
    }
}

}  // namespace
}  // namespace kelvane
