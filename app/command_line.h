#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "common/generation.h"

namespace kelvane {

namespace platform {
class Platform;
}

// What the command line asks of a viewer.
struct ViewerOptions {
    bool followFiles = true;                    // --no-watch turns it off
    std::vector<std::filesystem::path> files;   // .ebo, .fsh and picture files, opened in order
    bool imagesByName = false;                  // --by-name: View > Images by Object Name from the start
};

// Reads `kelvane [--no-watch] [--by-name] [FILE...]` (arguments after the program name,
// UTF-8). --help and --version print on standard output and give exit
// status 0; an unknown option or a file of another kind gives one line on
// standard error and exit status 2. Otherwise the options.
std::variant<ViewerOptions, int> parseCommandLine(Generation generation, const std::vector<std::string>& arguments);

// The whole program: the command line, then the viewer. Returns the exit status.
int viewerMain(platform::Platform& platform, Generation generation, int argc, char** argv);

}  // namespace kelvane
