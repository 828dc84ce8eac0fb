#pragma once

#include <CLI/CLI.hpp>

namespace kelvane::inspect {

// Each adds its subcommands to the program; a subcommand's callback sets
// `status` to the process exit status (0 clean, 1 a problem with a file).
void addModelCommand(CLI::App& app, int& status);
void addArchiveCommands(CLI::App& app, int& status);  // archive, decode, export
void addRenderCommand(CLI::App& app, int& status);
void addBmpCommand(CLI::App& app, int& status);
void addThumbnailCommand(CLI::App& app, int& status);
void addGltfCommand(CLI::App& app, int& status);

}  // namespace kelvane::inspect
