#include "export/replace_file.h"

#include <fstream>
#include <string>

#include "common/utf8_path.h"
#include "common/revision.h"

namespace kelvane {

Outcome replaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::filesystem::path temporary = path;
    temporary += ".kelvane-" + std::to_string(nextRevision()) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return failure("cannot write " + utf8Text(path) + ": cannot create a file in its folder");
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (out.fail()) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return failure("cannot write " + utf8Text(path) + ": the disk refused the data");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return failure("cannot write " + utf8Text(path) + ": " + error.message());
    }
    return Done{};
}

}  // namespace kelvane
