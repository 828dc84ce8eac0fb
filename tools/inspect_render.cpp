#include "tools/inspect_commands.h"

namespace kelvane::inspect {
// Placeholder until `render` lands.
void addRenderCommand(CLI::App&, int&) {}
}  // namespace kelvane::inspect
