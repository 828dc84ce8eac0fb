// Writes FILE, the largest model the current generation reads: 20 objects
// of 65,535 vertices, each one strip through all of them.
#include <string>

#include "writers/ebo_writer.h"
#include "writers/file_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::vector<kelvane::writers::EboObject> objects(kelvane::kSceneSlots);
    for (int k = 0; k < kelvane::kSceneSlots; ++k) {
        objects[k].name = "object" + std::to_string(k);
        objects[k].normals.emplace();
        for (int i = 0; i < 65535; ++i) {
            const float x = static_cast<float>(i % 256), y = static_cast<float>(i / 256);
            objects[k].positions.push_back({x + k, y, 0.01f * x * y});
            objects[k].normals->push_back({0, 0, 1});
            objects[k].texCoords.push_back({x / 255, y / 255});
            objects[k].strip.push_back(static_cast<std::uint16_t>(i));
        }
    }
    kelvane::writers::writeFile(argv[1], kelvane::writers::makeEbo(objects, kelvane::Generation::Current));
}
