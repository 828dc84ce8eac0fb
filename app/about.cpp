#include "app/about.h"

#include "render/gl_info.h"

namespace kelvane {

namespace {

// Lines end with a single CR; an empty line separates paragraphs. The
// backends turn the CRs into whatever their message box needs. The earlier
// viewer's text differs in the game's edition, a full stop and its last line.
std::string introText(Generation generation) {
    const bool legacy = generation == Generation::Legacy;
    std::string text = "Kelvane is an experimental tool to display\r";
    text += legacy ? "an EBO-FSH face file from the game's earlier edition.\r\r"
                   : "an EBO-FSH face file from the game.\r\r";
    text +=
        "This tool is based on OpenGL.\r"
        "It comes with no warranty and no support.\r"
        "\r"
        "Dedicated to everyone who builds faces for the game.\r"
        "\r"
        "Many thanks to those who described the S3TC texture\r";
    text += legacy ? "compression that this tool decodes.\r\r" : "compression that this tool decodes\r\r";
    text += legacy ? "Thanks to our tester for many hours of careful trials\r\r"
                   : "Contributors : the Kelvane team and its face makers\r\r";
    return text;
}

constexpr const char* kKeyboardHelp =
    "Keyboard commands :\r"
    "\r"
    "UP / DOWN Arrow : Y Translation\r"
    "LEFT / RIGHT Arrow : X Translation\r"
    "HOME : Reset X & Y";

constexpr const char* kRendererLine = "\r\r GL_RENDERER : ";
constexpr const char* kVersionLine = "\r GL_VERSION  : ";
constexpr const char* kCutMark = "...";

// Cuts UTF-8 text to at most `bytes` bytes, never inside a character, and
// marks the cut.
std::string shorten(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    const std::size_t markSize = std::char_traits<char>::length(kCutMark);
    if (bytes < markSize) return std::string(kCutMark, bytes);
    std::size_t end = bytes - markSize;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end) + kCutMark;
}

}  // namespace

std::string aboutText(Generation generation, const std::string& renderer, const std::string& version) {
    if (generation == Generation::Legacy) return introText(generation) + kKeyboardHelp;

    std::string text = introText(generation) + kKeyboardHelp + kRendererLine;
    const std::size_t fixed = text.size() + std::char_traits<char>::length(kVersionLine);
    // Very long GL strings share what is left of the buffer: a string that
    // fits in its half keeps all of it and leaves the rest to the other.
    const std::size_t room = kMaxAboutBytes > fixed ? kMaxAboutBytes - fixed : 0;
    const std::size_t half = room / 2;
    std::size_t rendererRoom = half;
    if (renderer.size() <= half)
        rendererRoom = renderer.size();
    else if (version.size() <= room - half)
        rendererRoom = room - version.size();
    const std::string shownRenderer = shorten(renderer, rendererRoom);
    const std::string shownVersion = shorten(version, room - shownRenderer.size());
    text += shownRenderer;
    text += kVersionLine;
    text += shownVersion;
    return text;
}

void showAbout(Viewer& viewer) {
    if (!viewer.window) return;
    std::string renderer, version;
    if (viewer.generation == Generation::Current) {
        renderer = glRendererString();
        version = glVersionString();
    }
    viewer.window->showMessageBox("Kelvane", aboutText(viewer.generation, renderer, version));
}

}  // namespace kelvane
