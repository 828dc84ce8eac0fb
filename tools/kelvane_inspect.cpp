// kelvane-inspect: shows what the viewers read from EBO, FSH and BMP files,
// renders the frame a viewer would show and exports a model as glTF.
#include <CLI/CLI.hpp>

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/text.h"
#endif

#include "common/version.h"
#include "tools/inspect_commands.h"
#include "tools/inspect_output.h"

namespace {

// The arguments as UTF-8. Windows hands main() its narrow code page, which
// loses every character outside it; the wide command line keeps them.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc, (void)argv;
    return kelvane::platform::win32::commandLineArguments();
#else
    return std::vector<std::string>(argv, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"kelvane-inspect: shows what the Kelvane viewers read from model, texture and picture files"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("kelvane-inspect ") + kelvane::kVersion);
    int status = 0;
    kelvane::inspect::addModelCommand(app, status);
    kelvane::inspect::addArchiveCommands(app, status);
    kelvane::inspect::addBmpCommand(app, status);
    kelvane::inspect::addRenderCommand(app, status);
    kelvane::inspect::addThumbnailCommand(app, status);
    kelvane::inspect::addGltfCommand(app, status);

    std::vector<std::string> arguments = utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        // Usage errors exit with 2, with the prefix of every other message.
        kelvane::inspect::complain(std::string(e.what()) + " (run with --help for more information)");
        return 2;
    }
    return status;
}
