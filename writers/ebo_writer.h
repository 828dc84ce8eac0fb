#pragma once

// Writes EBO files of both generations from a description: the sample files,
// the benchmarks' largest legal files and the tests' files. Two levels:
//
//  - EboFile: header fields, sections, descriptors of any kind, array
//    records and data, the object entry table and its names, each with
//    overrides for odd files; buildEbo() also returns where everything went,
//    so a test can patch single fields afterwards.
//  - EboObject / makeEbo(): whole objects (positions, optional normals,
//    texture coordinates, a strip, a name) laid out as the game does.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/generation.h"
#include "model/scene.h"

namespace kelvane::writers {

// What a descriptor leads to. For kind 0 the writer writes a 28-byte array
// record (byte size, stride, offset of `data`) and places `data` elsewhere;
// for any other kind the descriptor leads straight to `data` (the earlier
// generation's data descriptors).
struct EboDescriptor {
    std::uint16_t kind = 0;
    std::int32_t stride = 0;
    std::vector<std::uint8_t> data;
    std::optional<std::int32_t> byteSize;    // record's size; default data.size()
    std::optional<std::int32_t> dataOffset;  // record's data offset; default where data went
};

struct EboSection {
    std::vector<EboDescriptor> descriptors;
    std::optional<std::int16_t> descriptorCount;  // default descriptors.size()
    std::optional<std::int32_t> size;             // default: the bytes the section really takes
};

inline EboSection sectionOf(std::vector<EboDescriptor> descriptors) {
    EboSection section;
    section.descriptors = std::move(descriptors);
    return section;
}

struct EboFile {
    Generation generation = Generation::Current;
    // Current generation: the first section begins with a descriptor of
    // `objectTableKind` leading to the object table record; the last section
    // lists the arrays. One section serves as both.
    std::vector<EboSection> sections;
    // Current generation: one object entry per name; each name is written as
    // given, followed by a NUL unless terminateNames is false.
    std::vector<std::string> names;
    bool terminateNames = true;
    std::uint16_t objectTableKind = 1;
    std::optional<std::int32_t> limit;         // default: the entry table offset
    std::optional<std::int32_t> entryCount;    // default names.size()
    std::optional<std::int16_t> sectionCount;  // default sections.size()
    std::optional<std::int32_t> firstSection;  // default 48, right after the header
};

// Where buildEbo put things (absolute offsets).
struct EboLayout {
    std::vector<std::int64_t> sections;
    std::vector<std::vector<std::int64_t>> descriptors;  // [section][descriptor], table descriptor excluded
    std::vector<std::vector<std::int64_t>> targets;      // record (kind 0) or data the descriptor leads to
    std::int64_t objectTableRecord = -1;
    std::int64_t entryTable = -1;
    std::int64_t nameBase = -1;
    std::vector<std::int64_t> names;  // where each name starts
};

struct BuiltEbo {
    std::vector<std::uint8_t> bytes;
    EboLayout layout;
};

BuiltEbo buildEbo(const EboFile& file);

// Array payloads.
std::vector<std::uint8_t> bytesOf(const std::vector<Vec3f>& values);
std::vector<std::uint8_t> bytesOf(const std::vector<Vec2f>& values);
std::vector<std::uint8_t> bytesOf(const std::vector<std::uint16_t>& values);

// One descriptor of kind 0 with its record and data (a current-generation
// array, or an earlier-generation record descriptor when data is empty).
EboDescriptor arrayDescriptor(std::int32_t stride, std::vector<std::uint8_t> data);

struct EboObject {
    std::string name = "object";
    std::vector<Vec3f> positions;
    std::optional<std::vector<Vec3f>> normals;  // current generation only
    std::vector<Vec2f> texCoords;
    std::vector<std::uint16_t> strip;
};

// The descriptors of one object in file order: positions, normals,
// texture coordinates, strip. In the earlier generation each array is a
// record descriptor followed by a data descriptor.
std::vector<EboDescriptor> objectDescriptors(const EboObject& object, Generation generation);

// A file with the given objects: in the current generation an object table
// section with their names and an array section; in the earlier generation
// one section, objects separated by an extra record descriptor.
EboFile eboFileOf(const std::vector<EboObject>& objects, Generation generation);
std::vector<std::uint8_t> makeEbo(const std::vector<EboObject>& objects, Generation generation);

}  // namespace kelvane::writers
