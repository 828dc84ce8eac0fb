#include "render/webgl/gl11.h"

#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <vector>

#include "render/webgl/gl11_program.h"

namespace kelvane {

namespace {

using Matrix = std::array<double, 16>;  // column-major, as GL stores it

constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
            r[column * 4 + row] = sum;
        }
    return r;
}

std::array<double, 4> transform(const Matrix& m, const GLfloat* v) {
    std::array<double, 4> r{};
    for (int row = 0; row < 4; ++row)
        r[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    return r;
}

// The inverse transpose of the upper 3 x 3, which carries normals to eye
// space; row-major here, column-major once uploaded.
std::array<float, 9> normalMatrix(const Matrix& m) {
    const double a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    const double s = det != 0 ? 1 / det : 0;
    // The cofactor matrix over the determinant is the inverse's transpose.
    const std::array<double, 9> rows = {(e * i - f * h), -(d * i - f * g), (d * h - e * g),
                                        -(b * i - c * h), (a * i - c * g), -(a * h - b * g),
                                        (b * f - c * e), -(a * f - c * d), (a * e - b * d)};
    std::array<float, 9> columns{};
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k) columns[k * 3 + r] = static_cast<float>(rows[r * 3 + k] * s);
    return columns;
}

using Colour = std::array<float, 4>;

struct Light {
    bool enabled = false;
    Colour ambient{0, 0, 0, 1};
    Colour diffuse{0, 0, 0, 1};
    std::array<float, 4> eyePosition{0, 0, 1, 0};
};

// GL 1.1's state, in the groups that glPushAttrib saves.
struct Current {
    Colour colour{1, 1, 1, 1};
    std::array<float, 3> normal{0, 0, 1};
    std::array<float, 2> texCoord{0, 0};
};
struct Enables {
    bool lighting = false, normalize = false, colourMaterial = false, alphaTest = false, texture2d = false;
    bool blend = false, depthTest = false, scissorTest = false, polygonOffsetLine = false;
    std::array<bool, 2> lights{};
};
struct Lighting {
    // Light 0 alone is white by default, as in GL 1.1.
    std::array<Light, 2> lights{Light{false, {0, 0, 0, 1}, {1, 1, 1, 1}}, Light{}};
    Colour modelAmbient{0.2f, 0.2f, 0.2f, 1};
    Colour materialAmbient{0.2f, 0.2f, 0.2f, 1};
    Colour materialDiffuse{0.8f, 0.8f, 0.8f, 1};
};
struct Polygon {
    GLenum mode = GL_FILL;
    float offsetFactor = 0, offsetUnits = 0;
};
struct Box {
    GLint x = 0, y = 0;
    GLsizei width = 0, height = 0;
};
struct Buffers {
    GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
    GLenum depthFunc = GL_LESS;
    GLenum alphaFunc = GL_ALWAYS;
    float alphaReference = 0;
    float clearDepth = 1;
};
struct State {
    Current current;
    Enables enables;
    Lighting lighting;
    Polygon polygon;
    Box viewport, scissor;
    Buffers buffers;
    GLuint texture = 0;  // the name bound, 0 the default texture
};

struct Saved {
    GLbitfield mask;
    State state;
};

struct TextureInfo {
    GLuint object = 0;  // the WebGL texture
    GLsizei width = 0, height = 0;
    GLint wrapS = GL_REPEAT, wrapT = GL_REPEAT;
};

struct Context {
    State state;
    std::vector<Saved> attribStack;
    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Matrix> modelView{kIdentity}, projection{kIdentity};
    std::map<GLuint, TextureInfo> textures;  // by name; 0 is ours
    GLenum primitive = 0;
    std::vector<Gl11Vertex> vertices;
    std::vector<Gl11Vertex> converted;
    Gl11Program program;
};

Context& context() {
    static Context c;
    return c;
}

std::vector<Matrix>& matrixStack() {
    Context& c = context();
    return c.matrixMode == GL_PROJECTION ? c.projection : c.modelView;
}

void multiplyCurrent(const Matrix& m) {
    Matrix& top = matrixStack().back();
    top = multiply(top, m);
}

bool isPowerOfTwo(GLsizei n) { return n > 0 && (n & (n - 1)) == 0; }

TextureInfo& textureInfo(GLuint name) {
    TextureInfo& info = context().textures[name];
    if (info.object == 0) {
        if (name == 0)
            ::glGenTextures(1, &info.object);  // WebGL has no default texture: one of ours stands in
        else
            info.object = name;
    }
    return info;
}

// ES 2.0 repeats only textures whose sides are powers of two: any other
// clamps and the shader wraps its coordinates.
bool wrapsInShader(const TextureInfo& info) {
    return !(isPowerOfTwo(info.width) && isPowerOfTwo(info.height)) &&
           (info.wrapS == GL_REPEAT || info.wrapT == GL_REPEAT);
}

void applyWrap(const TextureInfo& info) {
    const bool clamp = !(isPowerOfTwo(info.width) && isPowerOfTwo(info.height));
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, clamp ? GL_CLAMP_TO_EDGE : info.wrapS);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, clamp ? GL_CLAMP_TO_EDGE : info.wrapT);
}

void setCapability(GLenum cap, bool on) {
    Enables& e = context().state.enables;
    Lighting& l = context().state.lighting;
    switch (cap) {
    case GL_LIGHTING: e.lighting = on; break;
    case GL_LIGHT0: e.lights[0] = on; break;
    case GL_LIGHT1: e.lights[1] = on; break;
    case GL_NORMALIZE: e.normalize = on; break;
    case GL_COLOR_MATERIAL:
        e.colourMaterial = on;
        if (on) l.materialAmbient = l.materialDiffuse = context().state.current.colour;
        break;
    case GL_ALPHA_TEST: e.alphaTest = on; break;
    case GL_TEXTURE_2D: e.texture2d = on; break;
    case GL_BLEND: e.blend = on; break;
    case GL_DEPTH_TEST: e.depthTest = on; break;
    case GL_SCISSOR_TEST: e.scissorTest = on; break;
    case GL_POLYGON_OFFSET_LINE: e.polygonOffsetLine = on; break;
    default: break;  // smoothing: the desktop's drivers draw without it too
    }
}

void setEnabled(GLenum cap, bool on) { on ? ::glEnable(cap) : ::glDisable(cap); }

// The state ES keeps itself, set from ours before a clear or a draw.
void applyFixedState() {
    const State& s = context().state;
    setEnabled(GL_BLEND, s.enables.blend);
    setEnabled(GL_DEPTH_TEST, s.enables.depthTest);
    setEnabled(GL_SCISSOR_TEST, s.enables.scissorTest);
    ::glBlendFunc(s.buffers.blendSource, s.buffers.blendDestination);
    ::glDepthFunc(s.buffers.depthFunc);
    ::glClearDepthf(s.buffers.clearDepth);
    ::glViewport(s.viewport.x, s.viewport.y, s.viewport.width, s.viewport.height);
    ::glScissor(s.scissor.x, s.scissor.y, s.scissor.width, s.scissor.height);
}

// A polygon's edges in line mode, as pairs of vertices.
void appendEdge(std::vector<Gl11Vertex>& out, const Gl11Vertex& a, const Gl11Vertex& b) {
    out.push_back(a);
    out.push_back(b);
}
void appendTriangleEdges(std::vector<Gl11Vertex>& out, const Gl11Vertex& a, const Gl11Vertex& b,
                         const Gl11Vertex& c) {
    appendEdge(out, a, b);
    appendEdge(out, b, c);
    appendEdge(out, c, a);
}

// The primitive ES draws for what glBegin named; `out` holds its vertices
// where they are not `in` as given.
GLenum convert(GLenum primitive, GLenum polygonMode, const std::vector<Gl11Vertex>& in, std::vector<Gl11Vertex>& out) {
    out.clear();
    const bool lines = polygonMode == GL_LINE;
    switch (primitive) {
    case GL_TRIANGLES:
        if (!lines) return GL_TRIANGLES;
        for (std::size_t i = 0; i + 2 < in.size(); i += 3) appendTriangleEdges(out, in[i], in[i + 1], in[i + 2]);
        return GL_LINES;
    case GL_TRIANGLE_STRIP:
        if (!lines) return GL_TRIANGLE_STRIP;
        for (std::size_t i = 0; i + 2 < in.size(); ++i) appendTriangleEdges(out, in[i], in[i + 1], in[i + 2]);
        return GL_LINES;
    case GL_QUADS:
        for (std::size_t i = 0; i + 3 < in.size(); i += 4) {
            if (lines) {
                appendEdge(out, in[i], in[i + 1]), appendEdge(out, in[i + 1], in[i + 2]);
                appendEdge(out, in[i + 2], in[i + 3]), appendEdge(out, in[i + 3], in[i]);
            } else {
                for (std::size_t k : {i, i + 1, i + 2, i, i + 2, i + 3}) out.push_back(in[k]);
            }
        }
        return lines ? GL_LINES : GL_TRIANGLES;
    default:
        return primitive;  // GL_LINES
    }
}

Gl11Uniforms uniformsOf(const Context& c, bool polygonAsLines) {
    const State& s = c.state;
    Gl11Uniforms u;
    const Matrix& mv = c.modelView.back();
    for (int i = 0; i < 16; ++i) {
        u.modelView[i] = static_cast<float>(mv[i]);
        u.projection[i] = static_cast<float>(c.projection.back()[i]);
    }
    u.normalMatrix = normalMatrix(mv);
    u.lighting = s.enables.lighting;
    u.normalize = s.enables.normalize;
    u.colourMaterial = s.enables.colourMaterial;
    u.modelAmbient = s.lighting.modelAmbient;
    u.materialAmbient = s.lighting.materialAmbient;
    u.materialDiffuse = s.lighting.materialDiffuse;
    for (int i = 0; i < 2; ++i) {
        u.lightOn[i] = s.enables.lights[i];
        u.lightAmbient[i] = s.lighting.lights[i].ambient;
        u.lightDiffuse[i] = s.lighting.lights[i].diffuse;
        u.lightPosition[i] = s.lighting.lights[i].eyePosition;
    }
    u.texturing = s.enables.texture2d;
    if (u.texturing) {
        const auto found = c.textures.find(s.texture);
        u.wrapInShader = found != c.textures.end() && wrapsInShader(found->second);
    }
    u.alphaTest = s.enables.alphaTest && s.buffers.alphaFunc == GL_GREATER;
    u.alphaReference = s.buffers.alphaReference;
    // Polygon offset pulls lines drawn for polygons towards the viewer; a
    // fixed step in depth stands for the factor's share, which ES cannot
    // compute for lines.
    if (polygonAsLines && s.enables.polygonOffsetLine)
        u.depthOffset = (s.polygon.offsetFactor + s.polygon.offsetUnits) * kGl11DepthStep;
    return u;
}

}  // namespace

void glEnable(GLenum cap) { setCapability(cap, true); }
void glDisable(GLenum cap) { setCapability(cap, false); }
void glHint(GLenum, GLenum) {}
void glShadeModel(GLenum) {}  // always smooth
void glReadBuffer(GLenum) {}  // the one buffer WebGL reads

void glBlendFunc(GLenum source, GLenum destination) {
    context().state.buffers.blendSource = source;
    context().state.buffers.blendDestination = destination;
}
void glDepthFunc(GLenum func) { context().state.buffers.depthFunc = func; }
void glAlphaFunc(GLenum func, GLfloat reference) {
    context().state.buffers.alphaFunc = func;
    context().state.buffers.alphaReference = reference;
}
void glClearDepth(GLdouble depth) { context().state.buffers.clearDepth = static_cast<float>(depth); }

void glClear(GLbitfield mask) {
    applyFixedState();
    ::glClear(mask);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { context().state.viewport = {x, y, width, height}; }
void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) { context().state.scissor = {x, y, width, height}; }

void glPolygonMode(GLenum, GLenum mode) { context().state.polygon.mode = mode; }
void glPolygonOffset(GLfloat factor, GLfloat units) {
    context().state.polygon.offsetFactor = factor;
    context().state.polygon.offsetUnits = units;
}

void glPushAttrib(GLbitfield mask) { context().attribStack.push_back({mask, context().state}); }

void glPopAttrib() {
    Context& c = context();
    if (c.attribStack.empty()) return;
    const Saved saved = c.attribStack.back();
    c.attribStack.pop_back();
    const State& from = saved.state;
    State& to = c.state;
    const GLbitfield m = saved.mask;
    if (m & GL_CURRENT_BIT) to.current = from.current;
    if (m & GL_ENABLE_BIT) to.enables = from.enables;
    if (m & GL_LIGHTING_BIT) {
        to.lighting = from.lighting;
        to.enables.lighting = from.enables.lighting, to.enables.lights = from.enables.lights;
        to.enables.colourMaterial = from.enables.colourMaterial;
    }
    if (m & GL_POLYGON_BIT) to.polygon = from.polygon;
    if (m & GL_VIEWPORT_BIT) to.viewport = from.viewport;
    if (m & GL_SCISSOR_BIT) to.scissor = from.scissor, to.enables.scissorTest = from.enables.scissorTest;
    if (m & GL_COLOR_BUFFER_BIT) {
        to.buffers.blendSource = from.buffers.blendSource, to.buffers.blendDestination = from.buffers.blendDestination;
        to.buffers.alphaFunc = from.buffers.alphaFunc, to.buffers.alphaReference = from.buffers.alphaReference;
        to.enables.blend = from.enables.blend, to.enables.alphaTest = from.enables.alphaTest;
    }
    if (m & GL_DEPTH_BUFFER_BIT) {
        to.buffers.depthFunc = from.buffers.depthFunc, to.buffers.clearDepth = from.buffers.clearDepth;
        to.enables.depthTest = from.enables.depthTest;
    }
    if (m & GL_TEXTURE_BIT) {
        to.texture = from.texture, to.enables.texture2d = from.enables.texture2d;
        ::glBindTexture(GL_TEXTURE_2D, textureInfo(to.texture).object);
    }
}

void glLightfv(GLenum light, GLenum name, const GLfloat* values) {
    if (light != GL_LIGHT0 && light != GL_LIGHT1) return;
    Light& l = context().state.lighting.lights[light - GL_LIGHT0];
    if (name == GL_AMBIENT) l.ambient = {values[0], values[1], values[2], values[3]};
    if (name == GL_DIFFUSE) l.diffuse = {values[0], values[1], values[2], values[3]};
    if (name == GL_POSITION) {
        // Fixed in eye space by the model-view matrix of the moment.
        const auto eye = transform(context().modelView.back(), values);
        for (int i = 0; i < 4; ++i) l.eyePosition[i] = static_cast<float>(eye[i]);
    }
}
void glColorMaterial(GLenum, GLenum) {}  // ambient and diffuse, the one mode used

void glMatrixMode(GLenum mode) { context().matrixMode = mode; }
void glLoadIdentity() { matrixStack().back() = kIdentity; }
void glPushMatrix() { matrixStack().push_back(matrixStack().back()); }
void glPopMatrix() {
    if (matrixStack().size() > 1) matrixStack().pop_back();
}
void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    multiplyCurrent({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1});
}
void glScaled(GLdouble x, GLdouble y, GLdouble z) { multiplyCurrent({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}); }
void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return;
    x /= length, y /= length, z /= length;
    const double radians = angle * std::numbers::pi / 180.0, c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    multiplyCurrent({x * x * t + c, y * x * t + z * s, x * z * t - y * s, 0,  //
                     x * y * t - z * s, y * y * t + c, y * z * t + x * s, 0,  //
                     x * z * t + y * s, y * z * t - x * s, z * z * t + c, 0,  //
                     0, 0, 0, 1});
}
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    multiplyCurrent({2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, -2 / (f - n), 0,  //
                     -(r + l) / (r - l), -(t + b) / (t - b), -(f + n) / (f - n), 1});
}
void gluPerspective(GLdouble fovY, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double f = 1 / std::tan(fovY * std::numbers::pi / 360.0);
    const double depth = zNear - zFar;
    if (aspect == 0 || depth == 0) return;
    multiplyCurrent({f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (zFar + zNear) / depth, -1,  //
                     0, 0, 2 * zFar * zNear / depth, 0});
}

void glBegin(GLenum mode) {
    context().primitive = mode;
    context().vertices.clear();
}

void glEnd() {
    Context& c = context();
    if (c.vertices.empty()) return;
    const GLenum drawn = convert(c.primitive, c.state.polygon.mode, c.vertices, c.converted);
    const bool asGiven = drawn == c.primitive;
    const std::vector<Gl11Vertex>& sent = asGiven ? c.vertices : c.converted;
    const bool polygonAsLines = drawn == GL_LINES && c.primitive != GL_LINES;
    if (sent.empty()) return;
    applyFixedState();
    c.program.draw(drawn, sent, uniformsOf(c, polygonAsLines));
    c.vertices.clear();
}

void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    Context& c = context();
    const Current& now = c.state.current;
    c.vertices.push_back({{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)},
                          now.normal,
                          now.texCoord,
                          now.colour});
}
void glVertex2d(GLdouble x, GLdouble y) { glVertex3d(x, y, 0); }
void glNormal3d(GLdouble x, GLdouble y, GLdouble z) {
    context().state.current.normal = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}
void glTexCoord2d(GLdouble s, GLdouble t) {
    context().state.current.texCoord = {static_cast<float>(s), static_cast<float>(t)};
}
void glColor3ub(GLubyte red, GLubyte green, GLubyte blue) {
    State& s = context().state;
    s.current.colour = {red / 255.0f, green / 255.0f, blue / 255.0f, 1};
    if (s.enables.colourMaterial) s.lighting.materialAmbient = s.lighting.materialDiffuse = s.current.colour;
}

void glBindTexture(GLenum, GLuint name) {
    context().state.texture = name;
    ::glBindTexture(GL_TEXTURE_2D, textureInfo(name).object);
}

void glTexParameteri(GLenum, GLenum name, GLint value) {
    TextureInfo& info = textureInfo(context().state.texture);
    if (name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) {
        (name == GL_TEXTURE_WRAP_S ? info.wrapS : info.wrapT) = value;
        applyWrap(info);
        return;
    }
    ::glTexParameteri(GL_TEXTURE_2D, name, value);
}

void glTexImage2D(GLenum, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void* pixels) {
    TextureInfo& info = textureInfo(context().state.texture);
    info.width = width, info.height = height;
    const GLint esFormat = internalFormat == 4 ? GL_RGBA : internalFormat;
    ::glTexImage2D(GL_TEXTURE_2D, level, esFormat, width, height, border, format, type, pixels);
    applyWrap(info);
}

}  // namespace kelvane
