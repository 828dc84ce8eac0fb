#include "tools/inspect_commands.h"

namespace kelvane::inspect {
// Placeholder until `model` lands.
void addModelCommand(CLI::App&, int&) {}
}  // namespace kelvane::inspect
