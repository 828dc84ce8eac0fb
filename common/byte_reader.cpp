#include "common/byte_reader.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <fstream>
#include <iterator>

#include "common/endian.h"

namespace kelvane {

std::string ReadProblem::describe() const {
    std::string text = what;
    if (!field.empty()) text += " at field '" + field + "'";
    text += " (offset " + std::to_string(offset) + ")";
    return text;
}

namespace {
// Why a file could not be opened, in the words of the file system.
std::string whyNotOpened(const std::filesystem::path& path, int openError) {
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    if (type == std::filesystem::file_type::not_found) return "cannot open file: no such file";
    if (type == std::filesystem::file_type::directory) return "cannot open file: it is a folder";
    if (openError == EACCES || openError == EPERM) return "cannot open file: permission denied";
    if (openError != 0) return "cannot open file: " + std::generic_category().message(openError);
    return "cannot open file";
}
}  // namespace

// One sized read into memory of the file's size; whatever lies beyond that
// size (a file that grew, or one that reports no size) is read to its end
// in the old way. Nothing when a read fails.
std::optional<ByteReader> ByteReader::readWhole(std::ifstream& in) {
    in.seekg(0, std::ios::end);
    std::streamoff end = in.tellg();
    in.seekg(0, std::ios::beg);
    if (!in || end < 0) {
        in.clear();
        in.seekg(0, std::ios::beg);
        end = 0;
    }
    const auto expected = static_cast<std::size_t>(end);
    FileBytes bytes(expected);
    if (expected > 0) in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(expected));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) return std::nullopt;
    // A file that shrank ends early; one that grew (or reports no size)
    // has more to read.
    in.clear();
    if (got < expected || in.peek() == std::ifstream::traits_type::eof()) {
        if (in.bad()) return std::nullopt;
        return ByteReader(std::move(bytes), got);
    }
    // The stream buffer throws on a read error instead of ending the input.
    std::vector<std::uint8_t> all(bytes.data(), bytes.data() + got);
    all.insert(all.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return ByteReader(std::move(all));
}

Result<ByteReader> ByteReader::open(const std::filesystem::path& path) {
    // A folder opens as a stream on Linux but cannot be read; treat it as a
    // file that cannot be opened, as Windows does.
    std::error_code error;
    std::ifstream in;
    errno = 0;
    if (!std::filesystem::is_directory(path, error)) in.open(path, std::ios::binary);
    if (!in.is_open()) return ReadProblem{0, "", whyNotOpened(path, errno), true};
    try {
        if (auto reader = readWhole(in)) return std::move(*reader);
    } catch (const std::ios_base::failure&) {
    }
    return ReadProblem{0, "", "cannot read file", true};
}

bool ByteReader::contains(std::int64_t offset, std::int64_t length) const {
    if (offset < 0 || length < 0) return false;
    const auto size = static_cast<std::int64_t>(bytes_.size());
    return offset <= size && length <= size - offset;
}

void ByteReader::fail(std::int64_t offset, const char* field, std::string what) {
    if (!problem_) problem_ = ReadProblem{static_cast<std::uint64_t>(offset < 0 ? 0 : offset), field, std::move(what)};
}

void ByteReader::notOfKind(const char* kind) {
    if (problem_) problem_->what = std::string("not ") + kind + ": " + problem_->what;
}

const std::uint8_t* ByteReader::at(std::int64_t offset, std::int64_t length, const char* field) {
    if (contains(offset, length)) return bytes_.data() + offset;
    if (offset < 0)
        fail(offset, field, "negative offset " + std::to_string(offset));
    else
        fail(offset, field,
             "offset past the end of the file (" + std::to_string(length) + " bytes needed, file is " +
                 std::to_string(bytes_.size()) + " bytes)");
    return nullptr;
}

std::optional<std::uint8_t> ByteReader::u8(std::int64_t offset, const char* field) {
    if (auto p = at(offset, 1, field)) return *p;
    return std::nullopt;
}
std::optional<std::uint16_t> ByteReader::u16le(std::int64_t offset, const char* field) {
    if (auto p = at(offset, 2, field)) return loadLe16(p);
    return std::nullopt;
}
std::optional<std::uint32_t> ByteReader::u32le(std::int64_t offset, const char* field) {
    if (auto p = at(offset, 4, field)) return loadLe32(p);
    return std::nullopt;
}
std::optional<std::int32_t> ByteReader::i32le(std::int64_t offset, const char* field) {
    if (auto v = u32le(offset, field)) return static_cast<std::int32_t>(*v);
    return std::nullopt;
}
std::optional<std::uint32_t> ByteReader::u32be(std::int64_t offset, const char* field) {
    if (auto p = at(offset, 4, field)) return loadBe32(p);
    return std::nullopt;
}
std::optional<std::span<const std::uint8_t>> ByteReader::span(std::int64_t offset, std::int64_t length,
                                                               const char* field) {
    if (auto p = at(offset, length, field)) return std::span<const std::uint8_t>(p, static_cast<std::size_t>(length));
    return std::nullopt;
}

}  // namespace kelvane
