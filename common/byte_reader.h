#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/endian.h"
#include "common/file_bytes.h"
#include "common/read_problem.h"
#include "common/result.h"
#include "common/shared_array.h"

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
    explicit ByteReader(std::vector<std::uint8_t> bytes) {
        auto given = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
        bytes_ = *given;
        owner_ = std::move(given);
    }

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

    // The `count` elements of the little-endian array at offset, after one
    // check of the whole array (none for an empty one): a view into the
    // file's bytes, which it keeps alive, where they lie aligned for T and
    // the machine reads little-endian; a copy otherwise. T is a number, or
    // a record of numbers (byte-aligned, or with its alignment as the
    // numbers' size). Nothing when any element lies outside the file.
    template <typename T>
    std::optional<SharedArray<T>> shareArray(std::int64_t offset, std::size_t count, const char* field);

    // Bytes of the file (a part of bytes()) as an array that keeps them
    // alive; a part from anywhere else is copied.
    SharedArray<std::uint8_t> share(std::span<const std::uint8_t> part) const {
        const bool inFile = part.empty() || (part.data() >= bytes_.data() &&
                                             part.data() + part.size() <= bytes_.data() + bytes_.size());
        if (inFile) return SharedArray<std::uint8_t>(owner(), part.data(), part.size());
        return std::vector<std::uint8_t>(part.begin(), part.end());
    }

    // What keeps the bytes alive; the arrays shareArray and share give view
    // into it.
    const std::shared_ptr<const void>& owner() const { return owner_; }

    // The first failed read, if any.
    const std::optional<ReadProblem>& problem() const { return problem_; }
    // Records a problem found by the caller (a bad value rather than a short read).
    void fail(std::int64_t offset, const char* field, std::string what);
    // Says that the file is plainly not of the kind its reader takes ("an EBO
    // model"): the problem recorded so far then begins "not an EBO model: ".
    void notOfKind(const char* kind);

private:
    static std::optional<ByteReader> readWhole(std::ifstream& in);
    ByteReader(FileBytes bytes, std::size_t size) {
        auto read = std::make_shared<const FileBytes>(std::move(bytes));
        bytes_ = {read->data(), size};
        owner_ = std::move(read);
    }

    const std::uint8_t* at(std::int64_t offset, std::int64_t length, const char* field);

    // Owns the bytes that bytes_ views (a FileBytes or a vector); every
    // array viewing them keeps it alive.
    std::shared_ptr<const void> owner_;
    std::span<const std::uint8_t> bytes_;
    std::optional<ReadProblem> problem_;
};

template <typename T>
std::optional<SharedArray<T>> ByteReader::shareArray(std::int64_t offset, std::size_t count, const char* field) {
    static_assert(std::is_trivially_copyable_v<T>);
    // The size of the numbers, whose bytes a big-endian machine swaps.
    constexpr std::size_t word = std::is_arithmetic_v<T> ? sizeof(T) : alignof(T) > 1 ? alignof(T) : 4;
    static_assert((word == 1 || word == 2 || word == 4 || word == 8) && sizeof(T) % word == 0);
    if (count == 0) return SharedArray<T>();
    const std::int64_t length =
        count > static_cast<std::size_t>(INT64_MAX) / sizeof(T) ? -1 : static_cast<std::int64_t>(count * sizeof(T));
    const std::uint8_t* p = at(offset, length, field);
    if (!p) return std::nullopt;
    constexpr bool sameOrder = std::endian::native == std::endian::little || word == 1;
    if (sameOrder && reinterpret_cast<std::uintptr_t>(p) % alignof(T) == 0)
        return SharedArray<T>(owner_, reinterpret_cast<const T*>(p), count);
    const std::size_t bytes = count * sizeof(T);
    std::vector<T> copy(count);
    auto* out = reinterpret_cast<std::uint8_t*>(copy.data());
    std::memcpy(out, p, bytes);
    if constexpr (!sameOrder) {
        for (std::size_t i = 0; i < bytes; i += word)
            for (std::size_t a = i, b = i + word - 1; a < b; ++a, --b) std::swap(out[a], out[b]);
    }
    return SharedArray<T>(std::move(copy));
}

}  // namespace kelvane
