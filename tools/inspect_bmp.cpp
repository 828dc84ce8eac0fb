// `kelvane-inspect bmp`: what "Load BMP" would import from a picture, or why
// the viewers refuse it.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "platform/bmp_decoder.h"
#include "tools/inspect_commands.h"
#include "tools/inspect_output.h"

namespace kelvane::inspect {
namespace {

using Json = nlohmann::ordered_json;

// Decodes as the Linux viewer does; the Windows viewer hands the same
// accepted files to LoadImageW.
Outcome importOf(const std::string& file, platform::BmpLayout& layout) {
    auto bytes = ByteReader::open(pathFromUtf8(file));
    if (!bytes) return bytes.problem();
    layout = platform::checkBmp(*bytes).layout;
    const auto bitmap = platform::decodeBmp(*bytes);
    if (!bitmap) return bitmap.problem();
    return platform::importableSize(bitmap->width, bitmap->height);
}

int runBmp(const std::string& file) {
    platform::BmpLayout layout;
    const Outcome imported = importOf(file, layout);
    const std::optional<std::string> refusal =
        imported ? std::nullopt : std::optional<std::string>(imported.problem().what);
    const bool headersRead = layout.infoHeaderSize != 0;
    const auto known = [headersRead](auto value) { return headersRead ? Json(value) : Json(nullptr); };
    Json out{{"path", file},
             {"width", known(layout.width)},
             {"height", known(layout.height)},
             {"topDown", known(layout.topDown)},
             {"bitsPerPixel", known(layout.bitsPerPixel)},
             {"compression", known(platform::bmpCompressionName(layout.compression))},
             {"result", refusal ? "refused" : "imported"},
             {"problem", refusal ? Json(*refusal) : Json(nullptr)}};
    std::cout << out.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
    return refusal ? complain(file + ": " + *refusal) : 0;
}

}  // namespace

void addBmpCommand(CLI::App& app, int& status) {
    auto file = std::make_shared<std::string>();
    auto* command = app.add_subcommand("bmp", "Show what \"Load BMP\" would import from a picture, or why not");
    command->add_option("FILE", *file, "BMP picture")->required();
    command->callback([file, &status] { status = runBmp(*file); });
}

}  // namespace kelvane::inspect
