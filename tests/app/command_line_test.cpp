#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/version.h"

namespace kelvane {
namespace {

using Arguments = std::vector<std::string>;

struct Outcome {
    std::variant<ViewerOptions, int> parsed;
    std::string out, err;
};

Outcome parse(Generation generation, const Arguments& arguments) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Outcome outcome{parseCommandLine(generation, arguments), {}, {}};
    outcome.out = testing::internal::GetCapturedStdout();
    outcome.err = testing::internal::GetCapturedStderr();
    return outcome;
}

TEST(CommandLine, FilesOfTheThreeKindsOpenInOrderAndNoWatchStopsFollowing) {
    for (auto [arguments, follow, files] : {
             std::tuple{Arguments{}, true, std::vector<std::filesystem::path>{}},
             std::tuple{Arguments{"head.EBO", "--no-watch", "dir/Head.Fsh", "p.bmp"}, false,
                        std::vector<std::filesystem::path>{"head.EBO", "dir/Head.Fsh", "p.bmp"}},
             // After "--" a name may start with a dash; UTF-8 names stay whole.
             std::tuple{Arguments{"--", "-odd.ebo", "t\xC3\xAAte.fsh"}, true,
                        std::vector<std::filesystem::path>{"-odd.ebo", std::u8string(u8"t\u00EAte.fsh")}},
         }) {
        const Outcome outcome = parse(Generation::Current, arguments);
        const auto* options = std::get_if<ViewerOptions>(&outcome.parsed);
        ASSERT_TRUE(options) << outcome.err;
        EXPECT_EQ(options->followFiles, follow);
        EXPECT_EQ(options->files, files);
        EXPECT_EQ(outcome.out + outcome.err, "");
    }
}

TEST(CommandLine, HelpAndVersionPrintAndEndWellUsageErrorsTakeOneLineAndStatusTwo) {
    for (auto generation : {Generation::Current, Generation::Legacy}) {
        const std::string program = generation == Generation::Legacy ? "kelvane-legacy" : "kelvane";
        Outcome version = parse(generation, {"--version"});
        EXPECT_EQ(std::get<int>(version.parsed), 0);
        EXPECT_EQ(version.out, program + " " + kVersion + "\n");

        Outcome help = parse(generation, {"a.ebo", "--help"});
        EXPECT_EQ(std::get<int>(help.parsed), 0);
        EXPECT_NE(help.out.find("--no-watch"), std::string::npos) << help.out;
        EXPECT_EQ(help.err, "");

        for (const Arguments& bad : {Arguments{"--bogus"}, Arguments{"head.ebo", "notes.txt"}, Arguments{"head"},
                                     Arguments{"-x"}}) {
            const Outcome outcome = parse(generation, bad);
            ASSERT_TRUE(std::holds_alternative<int>(outcome.parsed)) << bad.back();
            EXPECT_EQ(std::get<int>(outcome.parsed), 2);
            EXPECT_EQ(outcome.out, "");
            EXPECT_EQ(outcome.err.rfind(program + ": ", 0), 0u) << outcome.err;
            EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
        }
    }
}

}  // namespace
}  // namespace kelvane
