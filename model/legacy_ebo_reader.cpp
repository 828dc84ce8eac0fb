// Reader for EBO files of the earlier generation. Descriptors of kind 0 lead
// to an array record that gives size and stride; descriptors of any other
// kind lead to the array data itself. Two records in a row start a new
// object. Strips are turned into triangle lists.
#include <string>

#include "model/ebo_arrays.h"
#include "model/ebo_format.h"
#include "model/ebo_reader.h"

namespace kelvane {
namespace {

using namespace ebo;

struct KeptRecord {
    std::int32_t byteSize;
    std::int32_t stride;
};

void clearSlot(Scene& scene, int s) {
    scene.hasPositions[s] = scene.hasNormals[s] = scene.hasTexCoords[s] = scene.hasIndices[s] = scene.visible[s] = 0;
}

// Triangle t is strip entries t, t + 1, t + 2 in that order; odd triangles
// keep their winding as the strip gives it. Only the strip entries that lie
// in the file take part.
void readTriangles(Scene& scene, ByteReader& file, int s, std::int64_t data, std::int32_t byteSize) {
    const std::int32_t declared = byteSize / 2;
    const std::int64_t entries = declared <= 0 ? 0 : elementsInFile(file, data, byteSize, 2, "strip");
    const SharedArray<std::uint16_t> strip = readU16Array(file, data, entries);
    scene.indexCount[s] = declared <= 0 ? declared - 2 : static_cast<std::int32_t>(entries) - 2;
    std::vector<std::uint16_t> triangles(entries >= 3 ? static_cast<std::size_t>(3 * (entries - 2)) : 0);
    for (std::size_t t = 0; t + 2 < strip.size(); ++t) {
        triangles[3 * t] = strip[t];
        triangles[3 * t + 1] = strip[t + 1];
        triangles[3 * t + 2] = strip[t + 2];
    }
    scene.indices[s] = std::move(triangles);
    scene.hasIndices[s] = 1;
}

void placeData(Scene& scene, ByteReader& file, std::int64_t data, const KeptRecord& record) {
    const int s = scene.objectCount;
    if (record.stride == 12 && !scene.hasPositions[s]) {
        readPositions(scene, s, file, data, record.byteSize);
    } else if (record.stride == 8 && !scene.hasTexCoords[s]) {
        readTexCoords(scene, s, file, data, record.byteSize);
    } else if (record.stride == 2 && !scene.hasIndices[s]) {
        readTriangles(scene, file, s, data, record.byteSize);
    }
}

void readDescriptors(Scene& scene, ByteReader& file, const SectionHead& last) {
    bool afterRecord = false;
    std::optional<KeptRecord> kept;
    for (std::int32_t k = 0; k < last.descriptorCount; ++k) {
        const auto descriptor = readDescriptor(file, last.descriptorsStart() + kDescriptorSize * k);
        if (!descriptor) return;  // the rest lie further on, outside the file too
        if (descriptor->kind == 0) {
            const auto record = readArrayRecord(file, descriptor->target, "array record");
            kept.reset();
            if (record) kept = KeptRecord{record->byteSize, record->stride};
            if (afterRecord) {
                if (scene.objectCount + 1 == kSceneSlots) {
                    file.fail(descriptor->offset, "descriptor", "more than 20 objects; the rest are ignored");
                    return;
                }
                clearSlot(scene, ++scene.objectCount);
            }
            afterRecord = true;
        } else {
            // Data needs the size and stride of a record before it.
            if (kept)
                placeData(scene, file, descriptor->target, *kept);
            else
                file.fail(descriptor->offset, "descriptor", "array data without an array record before it");
            afterRecord = false;
        }
    }
}

}  // namespace

namespace {

void readFile(Scene& scene, ByteReader& file, ProblemSink problem) {
    // A file too short for its header is left unread, like one that cannot be opened.
    const auto header = readHeader(file);
    if (header) {
        const auto last = walkSections(file, *header);
        scene.objectCount = 0;
        clearSlot(scene, 0);
        if (last) readDescriptors(scene, file, *last);
        keepOnlyThisFile(scene, file);
        scene.objectCount += 1;
        scene.visible[0] = 1;
    }
    // The walk stops at once when the first section lies outside the file
    // (at that head or at the section count), so the problem marked there is
    // the file's first.
    markIfNoModel(file, header);
    if (!file.problem()) return;
    ReadProblem found = *file.problem();
    found.refused = !header;
    reportProblem(problem, std::move(found));
}

}  // namespace

std::int32_t loadLegacyEbo(Scene& scene, const std::filesystem::path& path, ProblemSink problem) {
    if (auto file = ByteReader::open(path))
        readFile(scene, *file, problem);
    else
        reportProblem(problem, file.problem());
    return 1;
}

std::int32_t loadLegacyEboBytes(Scene& scene, std::vector<std::uint8_t> bytes, ProblemSink problem) {
    ByteReader file(std::move(bytes));
    readFile(scene, file, problem);
    return 1;
}

}  // namespace kelvane
