#pragma once

#include <cstdint>
#include <vector>

#include "common/byte_reader.h"
#include "model/scene.h"

// Reading the vertex and index arrays of an EBO file into a slot, shared by
// the readers of both generations.
namespace kelvane::ebo {

// The number of whole elements of `stride` bytes that a byte size declares
// (none for a negative size or one smaller than an element), cut down to
// those that lie inside the file. Data running past the end is reported.
// Allocations follow this count, so they never exceed what the file holds.
std::int64_t elementsInFile(ByteReader& file, std::int64_t dataOffset, std::int32_t byteSize, std::int32_t stride,
                            const char* field);

// The arrays view the file's bytes where they can (see ByteReader::shareArray).
SharedArray<Vec3f> readVec3Array(ByteReader& file, std::int64_t offset, std::int64_t count);
SharedArray<Vec2f> readVec2Array(ByteReader& file, std::int64_t offset, std::int64_t count);
SharedArray<std::uint16_t> readU16Array(ByteReader& file, std::int64_t offset, std::int64_t count);

// Sets the slot's bounds from its positions: the first vertex starts them,
// then strict comparisons widen them, so a NaN never replaces a bound. An
// empty array leaves the bounds as they were.
void updateBounds(Scene& scene, int slot, std::span<const Vec3f> positions);

// Reads a slot's positions (with their bounds) or texture coordinates from
// `byteSize` bytes at `data`, and sets the slot's flag.
void readPositions(Scene& scene, int slot, ByteReader& file, std::int64_t data, std::int32_t byteSize);
void readTexCoords(Scene& scene, int slot, ByteReader& file, std::int64_t data, std::int32_t byteSize);

// Arrays the load did not replace (of slots it did not fill, or left
// unflagged) keep their elements, but not the whole earlier file's bytes.
void keepOnlyThisFile(Scene& scene, const ByteReader& file);

}  // namespace kelvane::ebo
