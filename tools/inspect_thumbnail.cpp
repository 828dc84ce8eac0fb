// kelvane-inspect thumbnail: a small square picture of a model or archive
// for a file manager, with a transparent background. A file that does not
// read cleanly gives no picture (the file manager keeps its own icon).
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/file_kind.h"
#include "common/result.h"
#include "common/utf8_path.h"
#include "export/image_writer.h"
#include "thumbnail/thumbnail.h"
#include "tools/inspect_commands.h"
#include "tools/inspect_output.h"

namespace kelvane::inspect {

namespace {

struct ThumbnailOptions {
    std::string file;
    std::string output;
    int size = 256;
    std::uint64_t maxBytes = 64u << 20;
};

int thumbnail(const ThumbnailOptions& options) {
    const std::filesystem::path path = pathFromUtf8(options.file);
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(path, error);
    if (error) return complain(options.file + ": cannot open file: " + error.message());
    if (bytes > options.maxBytes)
        return complain(options.file + ": " + std::to_string(bytes) + " bytes, more than the " +
                        std::to_string(options.maxBytes) + " a thumbnail reads");
    const auto kind = fileKindOf(path);
    if (kind != FileKind::Ebo && kind != FileKind::Fsh)
        return complain(options.file + ": neither a model (.ebo) nor an archive (.fsh)");
    const auto subject = readThumbnailFile(path);
    if (!subject) {
        // An archive without images names no place in the file.
        const ReadProblem& problem = subject.problem();
        const bool noImages = kind == FileKind::Fsh && problem.field.empty() && problem.what == "no images";
        return complain(options.file + ": " + (noImages ? problem.what : problem.describe()));
    }
    const auto rgba = drawThumbnail(*subject, options.size);
    if (!rgba) return complain(rgba.problem().what);
    if (!writePng(pathFromUtf8(options.output), options.size, options.size, rgba->data()))
        return complain("cannot write " + options.output);
    return 0;
}

}  // namespace

void addThumbnailCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<ThumbnailOptions>();
    CLI::App* command = app.add_subcommand("thumbnail", "Writes a square PNG picture of a model or archive, for file managers");
    command->add_option("FILE", options->file, "EBO model (textured by the FSH archive of its name beside it) or FSH archive")
        ->required();
    command->add_option("OUT", options->output, "PNG file to write")->required();
    command->add_option("-s,--size", options->size, "Width and height in pixels (default 256)")->check(CLI::Range(16, 1024));
    command->add_option("--max-size", options->maxBytes, "Larger files are skipped at once (default 64 MiB)");
    command->callback([options, &status] { status = thumbnail(*options); });
}

}  // namespace kelvane::inspect
