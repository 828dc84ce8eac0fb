#pragma once

// Writes FSH texture archives from a description of their images.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>


namespace kelvane::writers {

// One image of an FSH archive as it is to be written.
struct FshImage {
    std::string name;  // bytes as written; 16 or more are written unterminated, cut to 16
    std::uint16_t formatCode = 352;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> data;
    std::optional<std::uint32_t> recordOffset;  // where the record goes; default: after the previous one
    std::optional<std::uint32_t> dataSize;      // declared size; default: data.size()
};

struct FshArchive {
    std::vector<FshImage> images;
    std::optional<std::uint32_t> imageCount;  // declared count; default: images.size()
};

// The archive's bytes: header, directory, then each record where it is asked
// to go (the file grows with zero bytes as needed).
std::vector<std::uint8_t> buildFsh(const FshArchive& archive);

// Offset of each image's record in buildFsh's output.
std::vector<std::uint32_t> fshRecordOffsets(const FshArchive& archive);

}  // namespace kelvane::writers
