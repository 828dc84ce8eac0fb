// Reader for EBO files of the later generation: object names from the first
// section's object entry table, arrays from the last section's descriptors,
// sorted into object slots by their stride.
#include "model/ebo_reader.h"

#include <string>

#include "model/ebo_arrays.h"
#include "model/ebo_format.h"

namespace kelvane {
namespace {

using namespace ebo;

constexpr int kNameAttempt = 256;  // bytes one name attempt may take, NUL included

// Reads the name at `at` into `name`. Leading NUL bytes are skipped (each one
// leaves the empty string), then up to 256 bytes are taken: a NUL ends the
// name, 256 bytes without one leave `name` as it was. Bytes outside the file
// count as non-NUL, so a name running off the end is never taken.
void readName(ByteReader& file, std::int64_t at, std::optional<std::string>& name) {
    const auto bytes = file.bytes();
    const auto inFile = [&](std::int64_t p) { return p >= 0 && p < static_cast<std::int64_t>(bytes.size()); };
    while (inFile(at) && bytes[at] == 0) {
        name = std::string();
        ++at;
    }
    std::string text;
    for (int n = 0; n < kNameAttempt; ++n, ++at) {
        if (!inFile(at)) {
            file.fail(at, "object name", "name runs outside the file");
            return;
        }
        if (bytes[at] == 0) {
            name = std::move(text);
            return;
        }
        text += static_cast<char>(bytes[at]);
    }
}

// The name offset of entry i lies in the 4 bytes before the block of entry
// i + 1; the last entry's lies in the last 4 bytes of the first section.
void readNames(Scene& scene, ByteReader& file, const Header& header, const SectionHead& first,
               const ArrayRecord& table) {
    const std::int32_t count = table.entryCount;
    if (count > kSceneSlots)
        file.fail(table.entryTable, "object entry count",
                  std::to_string(count) + " object entries; only the first 20 are named");
    for (std::int32_t i = 0; i < count && i < kSceneSlots; ++i) {
        std::int64_t offsetAt = first.end() - 4;
        if (i < count - 1) {
            const auto block = file.i32le(table.entryTable + kEntrySize * (i + 1) + 12, "object entry block offset");
            if (!block) continue;
            offsetAt = std::int64_t{*block} - 4;
        }
        if (const auto nameOffset = file.i32le(offsetAt, "name offset"))
            readName(file, std::int64_t{header.nameBase} + *nameOffset, scene.names[i]);
    }
}

// Puts one array into the slot being filled, by the four stride tests in
// their order; a slot with positions, texture coordinates and indices is
// complete and the next array goes to the next slot.
void placeArray(Scene& scene, ByteReader& file, const ArrayRecord& record) {
    const int s = scene.objectCount;
    const std::int64_t data = record.dataOffset;
    if (record.stride == 12 && scene.hasPositions[s] && !scene.hasNormals[s]) {
        scene.normals[s] = readVec3Array(file, data, elementsInFile(file, data, record.byteSize, 12, "normals"));
        scene.hasNormals[s] = 1;
        scene.normalsPresent = 1;
        scene.lightingOn = 1;
    } else if (record.stride == 12 && !scene.hasPositions[s]) {
        readPositions(scene, s, file, data, record.byteSize);
    } else if (record.stride == 8 && !scene.hasTexCoords[s]) {
        readTexCoords(scene, s, file, data, record.byteSize);
    } else if (record.stride == 2 && !scene.hasIndices[s]) {
        scene.indices[s] = readU16Array(file, data, elementsInFile(file, data, record.byteSize, 2, "indices"));
        // A negative size keeps its signed count, as the earlier generation's
        // reader does; drawing takes no index from a count below 1.
        scene.indexCount[s] =
            record.byteSize < 0 ? record.byteSize / 2 : static_cast<std::int32_t>(scene.indices[s].size());
        scene.hasIndices[s] = 1;
    }
    if (scene.hasPositions[s] && scene.hasTexCoords[s] && scene.hasIndices[s]) scene.objectCount = s + 1;
}

void readArrays(Scene& scene, ByteReader& file, const SectionHead& last) {
    for (std::int32_t k = 0; k < last.descriptorCount; ++k) {
        const auto descriptor = readDescriptor(file, last.descriptorsStart() + kDescriptorSize * k);
        if (!descriptor) return;  // the rest lie further on, outside the file too
        if (descriptor->kind != 0) continue;
        const auto record = readArrayRecord(file, descriptor->target, "array record");
        if (!record) continue;
        if (scene.objectCount == kSceneSlots) {
            // After 20 complete objects only an array of another stride, which
            // is skipped anyway, keeps the file whole.
            if (record->stride != 12 && record->stride != 8 && record->stride != 2) continue;
            file.fail(descriptor->offset, "descriptor", "more than 20 objects; the rest are ignored");
            return;
        }
        placeArray(scene, file, *record);
    }
}

void clearObjects(Scene& scene) {
    scene.objectCount = 0;
    for (int s = 0; s < kSceneSlots; ++s)
        scene.hasPositions[s] = scene.hasNormals[s] = scene.hasTexCoords[s] = scene.hasIndices[s] =
            scene.visible[s] = 0;
}

// Everything after the file is open. A file whose header, first section or
// object table record cannot be read is rejected like one that fails the
// limit test: the objects of the earlier load stay. Of these, only a missing
// header or a first section outside the file says that it is no model at
// all (markIfNoModel); the rest may be a model cut short.
std::int32_t readFile(Scene& scene, ByteReader& file) {
    const auto header = readHeader(file);
    const auto first = header ? readSectionHead(file, header->firstSection) : std::nullopt;
    if (!first) {
        markIfNoModel(file, header);
        return 0;
    }
    const auto tableDescriptor = readDescriptor(file, first->descriptorsStart());
    if (!tableDescriptor) return 0;
    const auto table = readArrayRecord(file, tableDescriptor->target, "object table record");
    if (!table) return 0;
    // A file that fails the limit test may well be a model (one the other
    // generation takes, say), so its words stay those of the test.
    if (table->entryTable > header->limit) {
        file.fail(tableDescriptor->target + 24, "object entry table offset",
                  "entry table offset " + std::to_string(table->entryTable) + " lies beyond the header's limit " +
                      std::to_string(header->limit));
        return 0;
    }

    readNames(scene, file, *header, *first, *table);
    const auto last = walkSections(file, *header);
    clearObjects(scene);
    if (last) readArrays(scene, file, *last);
    keepOnlyThisFile(scene, file);
    scene.visible[0] = 1;
    return 1;
}

}  // namespace

namespace {

// The first reset stage runs before the file is opened, so even a load that
// cannot open its file leaves the names "SCRATCH" and lighting off.
void resetNamesAndLighting(Scene& scene) {
    scene.normalsPresent = 0;
    scene.lightingOn = 0;
    for (auto& name : scene.names) name = "SCRATCH";
}

std::int32_t readAndReport(Scene& scene, ByteReader& file, ProblemSink problem) {
    const std::int32_t result = readFile(scene, file);
    if (!file.problem()) return result;
    ReadProblem found = *file.problem();
    found.refused = result == 0;  // rejected before the objects were cleared
    reportProblem(problem, std::move(found));
    return result;
}

}  // namespace

std::int32_t loadEbo(Scene& scene, const std::filesystem::path& path, ProblemSink problem) {
    resetNamesAndLighting(scene);
    auto file = ByteReader::open(path);
    if (!file) {
        reportProblem(problem, file.problem());
        return 1;
    }
    return readAndReport(scene, *file, problem);
}

std::int32_t loadEboBytes(Scene& scene, std::vector<std::uint8_t> bytes, ProblemSink problem) {
    resetNamesAndLighting(scene);
    ByteReader file(std::move(bytes));
    return readAndReport(scene, file, problem);
}

}  // namespace kelvane
