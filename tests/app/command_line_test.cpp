#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/version.h"

namespace kelvane {
namespace {

using Arguments = std::vector<std::string>;
using Paths = std::vector<std::filesystem::path>;
using namespace std::string_literals;

// Files of the three kinds open in order, printing nothing; after "--" a name
// may start with a dash; UTF-8 names stay whole. --help and --version print
// and end with 0; a usage error prints one line on standard error, named
// after the program, and ends with 2.
TEST(CommandLine, FilesOpenInOrderHelpAndVersionPrintUsageErrorsTakeOneLineAndStatusTwo) {
    const std::string program = "kelvane-legacy";  // the other generation's differs only in its name
    for (const auto& [arguments, status, out, files] :  // status -1: the viewer starts
         {std::tuple{Arguments{"head.EBO", "--no-watch", "dir/Head.Fsh", "p.bmp"}, -1, ""s,
                     Paths{"head.EBO", "dir/Head.Fsh", "p.bmp"}},
          std::tuple{Arguments{"--", "-odd.ebo", "t\xC3\xAAte.fsh"}, -1, ""s, Paths{"-odd.ebo", u8"t\u00EAte.fsh"}},
          std::tuple{Arguments{"--version"}, 0, program + " " + kVersion + "\n", Paths{}},
          std::tuple{Arguments{"a.ebo", "--help"}, 0, "--no-watch"s, Paths{}},
          std::tuple{Arguments{"--bogus"}, 2, ""s, Paths{}}, std::tuple{Arguments{"a.ebo", "b.txt"}, 2, ""s, Paths{}}}) {
        SCOPED_TRACE(program + " " + (arguments.empty() ? "" : arguments.back()));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const auto parsed = parseCommandLine(Generation::Legacy, arguments);
        const std::string printed = testing::internal::GetCapturedStdout(), err = testing::internal::GetCapturedStderr();
        if (const auto* options = std::get_if<ViewerOptions>(&parsed))
            EXPECT_EQ(std::pair(options->followFiles, options->files),
                      std::pair(std::ranges::count(arguments, "--no-watch") == 0, files));
        else
            EXPECT_EQ(std::get<int>(parsed), status);
        EXPECT_EQ(status == 0 ? printed.find(out) != std::string::npos : printed.empty(), true) << printed;
        EXPECT_EQ(err.rfind(program + ": ", 0) == 0 && std::count(err.begin(), err.end(), '\n') == 1, status == 2)
            << err;
    }
}

}  // namespace
}  // namespace kelvane
