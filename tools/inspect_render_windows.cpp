// The Windows build has no offscreen GL context for `render`; its help says so.
#include "tools/inspect_commands.h"

namespace kelvane::inspect {
void addRenderCommand(CLI::App& app, int&) {
    app.footer("The render command is not available in the Windows build: it needs an offscreen "
               "OpenGL context. Use the Linux build of kelvane-inspect to render frames.");
}
}  // namespace kelvane::inspect
