#include "app/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>

#include "common/file_kind.h"
#include "app/main_window.h"
#include "common/utf8_path.h"
#include "common/version.h"

namespace kelvane {

namespace {

constexpr int kUsageError = 2;

int usageError(Generation generation, std::string message) {
    std::replace(message.begin(), message.end(), '\n', ' ');
    std::fprintf(stderr, "%s: %s (see %s --help)\n", programName(generation), message.c_str(), programName(generation));
    return kUsageError;
}

}  // namespace

std::variant<ViewerOptions, int> parseCommandLine(Generation generation, const std::vector<std::string>& arguments) {
    const std::string program = programName(generation);
    CLI::App app{"Shows a face model (EBO file) with its textures (FSH archive or BMP picture).", program};
    app.footer(
        "Files open in the order given, each as its File menu command opens it.\n"
        "Files dropped on the window open the same way. The model, archive or\n"
        "picture shown is read again whenever it changes on disk, keeping the view.");
    app.set_version_flag("--version", program + " " + kVersion, "Print the version and exit");
    ViewerOptions options;
    bool noWatch = false;
    std::vector<std::string> files;
    app.add_flag("--no-watch", noWatch, "Do not read files again when they change on disk");
    app.add_flag("--by-name", options.imagesByName,
                 "Draw each object with the archive image of its name (View > Images by Object Name)");
    app.add_option("FILE", files, "Model (.ebo), texture archive (.fsh) or picture (.bmp, .png, .tga) to open");

    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // as CLI11 takes them
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion& version) {
        std::printf("%s\n", version.what());
        return 0;
    } catch (const CLI::ParseError& error) {
        return usageError(generation, error.what());
    }
    options.followFiles = !noWatch;
    for (const std::string& file : files) {
        std::filesystem::path path = pathFromUtf8(file);
        if (!fileKindOf(path)) return usageError(generation, file + ": not an .ebo, .fsh, .bmp, .png or .tga file");
        options.files.push_back(std::move(path));
    }
    return options;
}

int viewerMain(platform::Platform& platform, Generation generation, int argc, char** argv) {
    platform.useStartingConsole();
    const auto parsed = parseCommandLine(generation, platform.programArguments(argc, argv));
    if (const int* status = std::get_if<int>(&parsed)) {
        std::fflush(stdout);
        return *status;
    }
    return runViewer(platform, generation, std::get<ViewerOptions>(parsed));
}

}  // namespace kelvane
