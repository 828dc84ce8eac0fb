#pragma once

// Short forms of a scene slot, so reader tests state whole expectations at once.

#include <array>
#include <string>
#include <vector>

#include "model/scene.h"
#include "tests/builders/test_files.h"
#include "writers/ebo_writer.h"

namespace kelvane::test {

// The arrays slot i holds, as "PNTI" with '-' for each one missing.
inline std::string arraysOf(const Scene& s, int i) {
    return {s.hasPositions[i] ? 'P' : '-', s.hasNormals[i] ? 'N' : '-', s.hasTexCoords[i] ? 'T' : '-',
            s.hasIndices[i] ? 'I' : '-'};
}

// minX, maxX, minY, maxY, minZ, maxZ of slot i.
inline std::array<float, 6> boundsOf(const Scene& s, int i) {
    return {s.minX[i], s.maxX[i], s.minY[i], s.maxY[i], s.minZ[i], s.maxZ[i]};
}

// n unit quads named prefix0, prefix1, ..., the i-th at x = i.
inline std::vector<writers::EboObject> quads(int n, const std::string& prefix = "o") {
    std::vector<writers::EboObject> objects;
    for (int i = 0; i < n; ++i) objects.push_back(quadObject(prefix + std::to_string(i), float(i)));
    return objects;
}

}  // namespace kelvane::test
