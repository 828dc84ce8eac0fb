#include "common/file_kind.h"

#include <system_error>

namespace kelvane {

std::optional<std::filesystem::path> companionArchive(const std::filesystem::path& model) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(model, error).parent_path();
    const std::filesystem::path stem = model.stem();
    // The exact name first, then any case of the extension.
    for (const char* extension : {".fsh", ".FSH"}) {
        const auto beside = folder / (stem.native() + std::filesystem::path(extension).native());
        if (std::filesystem::is_regular_file(beside, error)) return beside;
    }
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const auto& entry = it->path();
        if (entry.stem() == stem && fileKindOf(entry) == FileKind::Fsh && it->is_regular_file(error)) return entry;
    }
    return std::nullopt;
}

}  // namespace kelvane
