// kelvane-inspect: shows what the viewers read from EBO, FSH and BMP files,
// and renders the frame a viewer would show.
#include <CLI/CLI.hpp>

#include "tools/inspect_commands.h"

int main(int argc, char** argv) {
    CLI::App app{"kelvane-inspect: shows what the Kelvane viewers read from model and texture files"};
    app.require_subcommand(1);
    int status = 0;
    kelvane::inspect::addModelCommand(app, status);
    kelvane::inspect::addArchiveCommands(app, status);
    kelvane::inspect::addRenderCommand(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Usage errors exit with 2; --help is not an error.
        return app.exit(e) == 0 ? 0 : 2;
    }
    return status;
}
