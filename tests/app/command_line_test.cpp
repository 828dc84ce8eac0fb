#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/version.h"

namespace kelvane {
namespace {

using Arguments = std::vector<std::string>;
using Paths = std::vector<std::filesystem::path>;

// Files of the three kinds open in order; after "--" a name may start with a
// dash; UTF-8 names stay whole. Nothing is printed.
TEST(CommandLine, FilesOfTheThreeKindsOpenInOrderAndNoWatchStopsFollowing) {
    for (auto [arguments, follow, files] : {
             std::tuple{Arguments{}, true, Paths{}},
             std::tuple{Arguments{"head.EBO", "--no-watch", "dir/Head.Fsh", "p.bmp"}, false,
                        Paths{"head.EBO", "dir/Head.Fsh", "p.bmp"}},
             std::tuple{Arguments{"--", "-odd.ebo", "t\xC3\xAAte.fsh"}, true,
                        Paths{"-odd.ebo", std::u8string(u8"t\u00EAte.fsh")}}}) {
        testing::internal::CaptureStdout();
        const auto parsed = parseCommandLine(Generation::Current, arguments);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        ASSERT_TRUE(std::holds_alternative<ViewerOptions>(parsed));
        EXPECT_EQ(std::get<ViewerOptions>(parsed).followFiles, follow);
        EXPECT_EQ(std::get<ViewerOptions>(parsed).files, files);
    }
}

// --help and --version print and end with 0; a usage error takes one line on
// standard error, named after the program, and status 2.
TEST(CommandLine, HelpAndVersionPrintAndEndWellUsageErrorsTakeOneLineAndStatusTwo) {
    for (auto generation : {Generation::Current, Generation::Legacy}) {
        const std::string program = generation == Generation::Legacy ? "kelvane-legacy" : "kelvane";
        for (const auto& [arguments, status, out] :
             {std::tuple{Arguments{"--version"}, 0, program + " " + kVersion + "\n"},
              std::tuple{Arguments{"a.ebo", "--help"}, 0, std::string("--no-watch")},
              std::tuple{Arguments{"--bogus"}, 2, std::string()},
              std::tuple{Arguments{"a.ebo", "notes.txt"}, 2, std::string()},
              std::tuple{Arguments{"head"}, 2, std::string()}, std::tuple{Arguments{"-x"}, 2, std::string()}}) {
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            const auto parsed = parseCommandLine(generation, arguments);
            const std::string printed = testing::internal::GetCapturedStdout();
            const std::string err = testing::internal::GetCapturedStderr();
            ASSERT_TRUE(std::holds_alternative<int>(parsed)) << arguments.back();
            EXPECT_EQ(std::get<int>(parsed), status);
            if (status == 2) {
                EXPECT_EQ(printed, "");
                EXPECT_EQ(err.rfind(program + ": ", 0), 0u) << err;
            } else {
                EXPECT_NE(printed.find(out), std::string::npos) << printed;
            }
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), status == 2 ? 1 : 0) << err;
        }
    }
}

}  // namespace
}  // namespace kelvane
