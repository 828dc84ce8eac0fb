#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/endian.h"
#include "common/file_bytes.h"
#include "common/read_problem.h"
#include "common/result.h"

namespace kelvane {

// A fixed-size record found whole in a file. Its fields lie at offsets the
// compiler checks against the record's size, so once the record is there no
// field read can fail.
template <std::int64_t Size>
class Record {
public:
    explicit Record(std::span<const std::uint8_t, static_cast<std::size_t>(Size)> bytes) : bytes_(bytes) {}

    template <std::int64_t At>
    std::uint16_t u16le() const {
        return loadLe16(field<At, 2>());
    }
    template <std::int64_t At>
    std::int16_t i16le() const {
        return static_cast<std::int16_t>(u16le<At>());
    }
    template <std::int64_t At>
    std::uint32_t u32le() const {
        return loadLe32(field<At, 4>());
    }
    template <std::int64_t At>
    std::int32_t i32le() const {
        return static_cast<std::int32_t>(u32le<At>());
    }
    template <std::int64_t At>
    std::uint32_t u32be() const {
        return loadBe32(field<At, 4>());
    }

private:
    template <std::int64_t At, std::int64_t Length>
    const std::uint8_t* field() const {
        static_assert(At >= 0 && At + Length <= Size, "field outside the record");
        return bytes_.data() + At;
    }
    std::span<const std::uint8_t, static_cast<std::size_t>(Size)> bytes_;
};

// Bounds-checked reads at absolute offsets of a whole file held in memory.
// Every read names the field it is for; a read that would leave the file
// fails, and the first such failure is kept as the reader's problem.
class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::vector<std::uint8_t> bytes) : owned_(std::move(bytes)), bytes_(owned_) {}

    // Reads the whole file; why not (a problem marked refused) when it
    // cannot be opened or read.
    static Result<ByteReader> open(const std::filesystem::path& path);

    std::size_t size() const { return bytes_.size(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    // True when [offset, offset + length) lies inside the file.
    bool contains(std::int64_t offset, std::int64_t length) const;

    std::optional<std::uint8_t> u8(std::int64_t offset, const char* field);
    std::optional<std::uint16_t> u16le(std::int64_t offset, const char* field);
    std::optional<std::uint32_t> u32le(std::int64_t offset, const char* field);
    std::optional<std::int32_t> i32le(std::int64_t offset, const char* field);
    std::optional<std::uint32_t> u32be(std::int64_t offset, const char* field);

    // A view of length bytes at offset, or nothing if any of them lies outside.
    std::optional<std::span<const std::uint8_t>> span(std::int64_t offset, std::int64_t length,
                                                       const char* field);

    // The record of Size bytes at offset, or nothing if any of them lies outside.
    template <std::int64_t Size>
    std::optional<Record<Size>> record(std::int64_t offset, const char* field) {
        if (const std::uint8_t* p = at(offset, Size, field))
            return Record<Size>(std::span<const std::uint8_t, static_cast<std::size_t>(Size)>(p, Size));
        return std::nullopt;
    }
    // What `read` makes of that record, or nothing if it lies outside.
    template <std::int64_t Size, typename Read>
    auto recordAs(std::int64_t offset, const char* field, Read read)
        -> std::optional<decltype(read(std::declval<const Record<Size>&>()))> {
        if (const auto r = record<Size>(offset, field)) return read(*r);
        return std::nullopt;
    }

    // Fills `out` from the little-endian array at offset after one check of
    // the whole array (none for an empty one). T is a number, or a record of
    // numbers that all have T's alignment as their size (three floats, say).
    // A failed check leaves `out` as it was.
    template <typename T>
    bool readArray(std::int64_t offset, std::span<T> out, const char* field);

    // The first failed read, if any.
    const std::optional<ReadProblem>& problem() const { return problem_; }
    // Records a problem found by the caller (a bad value rather than a short read).
    void fail(std::int64_t offset, const char* field, std::string what);
    // Says that the file is plainly not of the kind its reader takes ("an EBO
    // model"): the problem recorded so far then begins "not an EBO model: ".
    void notOfKind(const char* kind);

private:
    static std::optional<ByteReader> readWhole(std::ifstream& in);
    ByteReader(FileBytes bytes, std::size_t size) : read_(std::move(bytes)), bytes_(read_.data(), size) {}

    const std::uint8_t* at(std::int64_t offset, std::int64_t length, const char* field);

    // One of the two owns the bytes that bytes_ views; moving either keeps
    // the bytes where they are.
    std::vector<std::uint8_t> owned_;
    FileBytes read_;
    std::span<const std::uint8_t> bytes_;
    std::optional<ReadProblem> problem_;
};

template <typename T>
bool ByteReader::readArray(std::int64_t offset, std::span<T> out, const char* field) {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) % alignof(T) == 0);
    constexpr std::size_t word = alignof(T);
    static_assert(word == 1 || word == 2 || word == 4 || word == 8);
    if (out.empty()) return true;
    const std::uint8_t* p = at(offset, static_cast<std::int64_t>(out.size_bytes()), field);
    if (!p) return false;
    std::memcpy(out.data(), p, out.size_bytes());
    if constexpr (std::endian::native == std::endian::big && word > 1) {
        auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
        for (std::size_t i = 0; i < out.size_bytes(); i += word)
            for (std::size_t a = i, b = i + word - 1; a < b; ++a, --b) std::swap(bytes[a], bytes[b]);
    }
    return true;
}

}  // namespace kelvane
