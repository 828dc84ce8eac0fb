#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "common/read_problem.h"

namespace kelvane {

// Bounds-checked reads at absolute offsets of a whole file held in memory.
// Every read names the field it is for; a read that would leave the file
// fails, and the first such failure is kept as the reader's problem.
class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // Reads the whole file. Returns nothing (and records why) if it cannot
    // be opened or read.
    static std::optional<ByteReader> open(const std::filesystem::path& path, ProblemSink problem);

    std::size_t size() const { return bytes_.size(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    // True when [offset, offset + length) lies inside the file.
    bool contains(std::int64_t offset, std::int64_t length) const;

    std::optional<std::uint8_t> u8(std::int64_t offset, const char* field);
    std::optional<std::uint16_t> u16le(std::int64_t offset, const char* field);
    std::optional<std::int16_t> i16le(std::int64_t offset, const char* field);
    std::optional<std::uint32_t> u32le(std::int64_t offset, const char* field);
    std::optional<std::int32_t> i32le(std::int64_t offset, const char* field);
    std::optional<float> f32le(std::int64_t offset, const char* field);
    std::optional<std::uint16_t> u16be(std::int64_t offset, const char* field);
    std::optional<std::uint32_t> u32be(std::int64_t offset, const char* field);

    // A view of length bytes at offset, or nothing if any of them lies outside.
    std::optional<std::span<const std::uint8_t>> span(std::int64_t offset, std::int64_t length,
                                                       const char* field);

    // The first failed read, if any.
    const std::optional<ReadProblem>& problem() const { return problem_; }
    // Records a problem found by the caller (a bad value rather than a short read).
    void fail(std::int64_t offset, const char* field, std::string what);

private:
    const std::uint8_t* at(std::int64_t offset, std::int64_t length, const char* field);

    std::vector<std::uint8_t> bytes_;
    std::optional<ReadProblem> problem_;
};

}  // namespace kelvane
