// The Windows build has no offscreen GL context for `render`: the command
// is there only to say so.
#include "tools/inspect_commands.h"
#include "tools/inspect_output.h"

namespace kelvane::inspect {
void addRenderCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand("render", "Not available in the Windows build (it needs offscreen OpenGL)");
    command->allow_extras();
    command->callback([&status] {
        complain("render is not available in the Windows build: it needs an offscreen OpenGL context; "
                 "use the Linux build of kelvane-inspect to render frames");
        status = 2;
    });
}
}  // namespace kelvane::inspect
