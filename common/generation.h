#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvane {

// The two generations of the game's files. One library serves both; each
// program's entry file picks its generation and hands it down.
enum class Generation { Current, Legacy };

constexpr Generation otherGeneration(Generation g) {
    return g == Generation::Legacy ? Generation::Current : Generation::Legacy;
}

// How the scene's objects reach GL: one triangle strip per object, or all
// visible objects in one list of triangles.
enum class Primitive { TriangleStrips, TriangleLists };

// Every value that differs between the generations, one record each. Code
// reads its numbers here and branches on the generation only where it works
// differently (the EBO readers and writer, the GL set-up, the projection's
// aspect, menu texts and marks, the About text).
struct GenerationTraits {
    const char* name;         // as kelvane-inspect prints it
    const char* programName;  // opens each line on standard error
    const char* windowTitle;

    // What the files hold.
    bool objectNames;  // EBO objects are named
    bool normals;      // EBO objects may carry normals, which "Light" lights
    bool blankSlot;    // the texture slot after the archive's last image is "Blank"
    std::uint32_t archiveCapacity;  // archive images the texture store keeps
    std::size_t pixelBytes;         // size of the shared RGBA pixel buffer

    // How a frame is drawn.
    Primitive primitive;
    double sizeDivisor;  // drawn positions are the stored ones divided by this
    bool fitsView;       // drawing fits the visible objects; frames back off by that fit
    double fixedStep;    // key and wheel step without a fit (a fit steps a tenth of it)
    double initialZoom;  // at start-up
    double fixedRoll;    // degrees about Z added to every frame
    float clearGrey;     // background, equal red, green and blue
    int viewportY;       // the viewport's offset from the window's bottom edge
    double zFar;         // far clipping plane
};

// Indexed by Generation.
inline constexpr GenerationTraits kGenerations[] = {
    {
        .name = "current",
        .programName = "kelvane",
        .windowTitle = "Kelvane v0.7",
        .objectNames = true,
        .normals = true,
        .blankSlot = true,
        .archiveCapacity = 19,
        .pixelBytes = 16u << 20,  // 2048 x 2048 RGBA
        .primitive = Primitive::TriangleStrips,
        .sizeDivisor = 1.0,
        .fitsView = true,
        .fixedStep = 0.0,
        .initialZoom = 0.0,
        .fixedRoll = 0.0,
        .clearGrey = 0.1f,
        .viewportY = 0,
        .zFar = 100000.0,
    },
    {
        .name = "legacy",
        .programName = "kelvane-legacy",
        .windowTitle = "Kelvane v0.6",
        .objectNames = false,
        .normals = false,
        .blankSlot = false,
        .archiveCapacity = 20,
        .pixelBytes = 4u << 20,  // 1024 x 1024 RGBA
        .primitive = Primitive::TriangleLists,
        .sizeDivisor = 10.0,
        .fitsView = false,
        .fixedStep = 5.0,
        .initialZoom = -10.0,
        .fixedRoll = 1.0,  // the earlier viewer always turns the model a little
        .clearGrey = 0.3f,
        .viewportY = -10,  // it sits 10 pixels low
        .zFar = 2000.0,
    },
};

constexpr const GenerationTraits& traits(Generation g) { return kGenerations[static_cast<int>(g)]; }

}  // namespace kelvane
