#include "tools/inspect_commands.h"

namespace kelvane::inspect {
// Placeholder until `archive`, `decode` and `export` land.
void addArchiveCommands(CLI::App&, int&) {}
}  // namespace kelvane::inspect
