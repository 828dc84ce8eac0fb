#include "render/gl_info.h"

#include "render/gl.h"

namespace kelvane {

namespace {
std::string glString(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text ? text : "";
}
}  // namespace

std::string glRendererString() { return glString(GL_RENDERER); }
std::string glVersionString() { return glString(GL_VERSION); }

}  // namespace kelvane
