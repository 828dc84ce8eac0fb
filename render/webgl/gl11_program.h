#pragma once

// The one shader program that draws what the GL 1.1 calls describe: GL 1.1's
// per-vertex lighting (ambient and diffuse, positional or directional
// lights, normals optionally normalised), texturing that modulates the
// colour, and the alpha test.

#include <GLES2/gl2.h>

#include <array>
#include <vector>

namespace kelvane {

struct Gl11Vertex {
    std::array<float, 3> position;
    std::array<float, 3> normal;
    std::array<float, 2> texCoord;
    std::array<float, 4> colour;
};

// One step of polygon offset in clip-space depth: a little more than one
// unit of a 16-bit depth buffer.
constexpr float kGl11DepthStep = 1.0f / 16384.0f;

struct Gl11Uniforms {
    std::array<float, 16> modelView{}, projection{};
    std::array<float, 9> normalMatrix{};
    bool lighting = false, normalize = false, colourMaterial = false;
    std::array<float, 4> modelAmbient{}, materialAmbient{}, materialDiffuse{};
    std::array<bool, 2> lightOn{};
    std::array<std::array<float, 4>, 2> lightAmbient{}, lightDiffuse{}, lightPosition{};
    bool texturing = false, wrapInShader = false;
    bool alphaTest = false;
    float alphaReference = 0;
    float depthOffset = 0;  // added to clip-space depth over w
};

class Gl11Program {
public:
    // Draws the vertices as `primitive` with the texture bound to unit 0;
    // builds the program on first use.
    void draw(GLenum primitive, const std::vector<Gl11Vertex>& vertices, const Gl11Uniforms& uniforms);

private:
    void build();
    GLuint program_ = 0;
    GLuint buffer_ = 0;
};

}  // namespace kelvane
