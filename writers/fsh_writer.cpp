#include "writers/fsh_writer.h"

#include <algorithm>

#include "common/endian.h"

namespace kelvane::writers {
namespace {

void grow(std::vector<std::uint8_t>& out, std::size_t size) {
    if (out.size() < size) out.resize(size, 0);
}

std::size_t nameBytes(const std::string& name) { return name.size() >= 16 ? 16 : name.size() + 1; }

std::size_t directoryEnd(const FshArchive& archive) {
    std::size_t end = 16;
    for (const auto& image : archive.images) end += 8 + nameBytes(image.name);
    return end;
}

}  // namespace

std::vector<std::uint32_t> fshRecordOffsets(const FshArchive& archive) {
    std::vector<std::uint32_t> offsets;
    std::size_t next = directoryEnd(archive);
    for (const auto& image : archive.images) {
        const std::size_t at = image.recordOffset.value_or(static_cast<std::uint32_t>(next));
        offsets.push_back(static_cast<std::uint32_t>(at));
        next = std::max(next, at + 32 + image.data.size());
    }
    return offsets;
}

std::vector<std::uint8_t> buildFsh(const FshArchive& archive) {
    std::vector<std::uint8_t> out(directoryEnd(archive), 0);
    const std::uint32_t count = archive.imageCount.value_or(static_cast<std::uint32_t>(archive.images.size()));
    out[0] = 'S', out[1] = 'H', out[2] = 'P', out[3] = 'I';
    storeBe32(&out[8], count);
    const auto offsets = fshRecordOffsets(archive);
    std::size_t entry = 16;
    for (std::size_t i = 0; i < archive.images.size(); ++i) {
        const FshImage& image = archive.images[i];
        storeBe32(&out[entry], offsets[i]);
        const std::size_t n = nameBytes(image.name);
        for (std::size_t c = 0; c < n; ++c)
            out[entry + 8 + c] = c < image.name.size() ? static_cast<std::uint8_t>(image.name[c]) : 0;
        entry += 8 + n;

        const std::size_t at = offsets[i];
        grow(out, at + 32 + image.data.size());
        storeLe16(&out[at], image.formatCode);
        storeLe32(&out[at + 12], image.dataSize.value_or(static_cast<std::uint32_t>(image.data.size())));
        storeLe32(&out[at + 24], image.width);
        storeLe32(&out[at + 28], image.height);
        std::copy(image.data.begin(), image.data.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 32));
    }
    return out;
}

}  // namespace kelvane::writers
