#include "render/webgl/gl11_program.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace kelvane {

namespace {

// Lighting as GL 1.1 computes it for front faces with a black specular
// material and no attenuation: the scene's ambient, and per light its
// ambient and its diffuse by the angle between the normal and the
// direction to the light.
constexpr const char* kVertexShader = R"(
attribute vec3 a_position;
attribute vec3 a_normal;
attribute vec2 a_texCoord;
attribute vec4 a_colour;
uniform mat4 u_modelView;
uniform mat4 u_projection;
uniform mat3 u_normalMatrix;
uniform bool u_lighting;
uniform bool u_normalize;
uniform bool u_colourMaterial;
uniform vec4 u_modelAmbient;
uniform vec4 u_materialAmbient;
uniform vec4 u_materialDiffuse;
uniform bool u_lightOn[2];
uniform vec4 u_lightAmbient[2];
uniform vec4 u_lightDiffuse[2];
uniform vec4 u_lightPosition[2];
uniform float u_depthOffset;
varying vec4 v_colour;
varying vec2 v_texCoord;
void main() {
    vec4 eye = u_modelView * vec4(a_position, 1.0);
    gl_Position = u_projection * eye;
    gl_Position.z += u_depthOffset * gl_Position.w;
    v_texCoord = a_texCoord;
    if (!u_lighting) {
        v_colour = a_colour;
        return;
    }
    vec4 ambient = u_colourMaterial ? a_colour : u_materialAmbient;
    vec4 diffuse = u_colourMaterial ? a_colour : u_materialDiffuse;
    vec3 n = u_normalMatrix * a_normal;
    if (u_normalize) n = normalize(n);
    vec3 c = u_modelAmbient.rgb * ambient.rgb;
    for (int i = 0; i < 2; ++i) {
        if (!u_lightOn[i]) continue;
        vec4 p = u_lightPosition[i];
        vec3 toLight = p.w == 0.0 ? p.xyz : p.xyz / p.w - eye.xyz / eye.w;
        float lambert = max(dot(n, normalize(toLight)), 0.0);
        c += u_lightAmbient[i].rgb * ambient.rgb + lambert * u_lightDiffuse[i].rgb * diffuse.rgb;
    }
    v_colour = vec4(clamp(c, 0.0, 1.0), diffuse.a);
}
)";

constexpr const char* kFragmentShader = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform bool u_texturing;
uniform bool u_wrapInShader;
uniform sampler2D u_texture;
uniform bool u_alphaTest;
uniform float u_alphaReference;
varying vec4 v_colour;
varying vec2 v_texCoord;
void main() {
    vec4 c = v_colour;
    if (u_texturing) c *= texture2D(u_texture, u_wrapInShader ? fract(v_texCoord) : v_texCoord);
    if (u_alphaTest && !(c.a > u_alphaReference)) discard;
    gl_FragColor = c;
}
)";

// Prints why a shader or the program did not build (a fault of this file:
// WebGL 1 compiles these sources everywhere).
void reportFailure(GLuint object, GLenum statusName, void (*getStatus)(GLuint, GLenum, GLint*),
                   void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*), const char* what) {
    GLint ok = 0;
    getStatus(object, statusName, &ok);
    if (ok) return;
    char log[1024] = {};
    getLog(object, sizeof log, nullptr, log);
    std::fprintf(stderr, "WebGL %s: %s\n", what, log);
}

GLuint compile(GLenum type, const char* source) {
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    reportFailure(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, "shader");
    return shader;
}

GLint at(GLuint program, const std::string& name) { return glGetUniformLocation(program, name.c_str()); }

}  // namespace

void Gl11Program::build() {
    program_ = glCreateProgram();
    glAttachShader(program_, compile(GL_VERTEX_SHADER, kVertexShader));
    glAttachShader(program_, compile(GL_FRAGMENT_SHADER, kFragmentShader));
    const char* attributes[] = {"a_position", "a_normal", "a_texCoord", "a_colour"};
    for (GLuint i = 0; i < 4; ++i) glBindAttribLocation(program_, i, attributes[i]);
    glLinkProgram(program_);
    reportFailure(program_, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, "program");
    glGenBuffers(1, &buffer_);
}

void Gl11Program::draw(GLenum primitive, const std::vector<Gl11Vertex>& vertices, const Gl11Uniforms& u) {
    if (program_ == 0) build();
    glUseProgram(program_);
    const GLuint p = program_;
    glUniformMatrix4fv(at(p, "u_modelView"), 1, GL_FALSE, u.modelView.data());
    glUniformMatrix4fv(at(p, "u_projection"), 1, GL_FALSE, u.projection.data());
    glUniformMatrix3fv(at(p, "u_normalMatrix"), 1, GL_FALSE, u.normalMatrix.data());
    glUniform1i(at(p, "u_lighting"), u.lighting);
    glUniform1i(at(p, "u_normalize"), u.normalize);
    glUniform1i(at(p, "u_colourMaterial"), u.colourMaterial);
    glUniform4fv(at(p, "u_modelAmbient"), 1, u.modelAmbient.data());
    glUniform4fv(at(p, "u_materialAmbient"), 1, u.materialAmbient.data());
    glUniform4fv(at(p, "u_materialDiffuse"), 1, u.materialDiffuse.data());
    for (int i = 0; i < 2; ++i) {
        const std::string index = "[" + std::to_string(i) + "]";
        glUniform1i(at(p, "u_lightOn" + index), u.lightOn[i]);
        glUniform4fv(at(p, "u_lightAmbient" + index), 1, u.lightAmbient[i].data());
        glUniform4fv(at(p, "u_lightDiffuse" + index), 1, u.lightDiffuse[i].data());
        glUniform4fv(at(p, "u_lightPosition" + index), 1, u.lightPosition[i].data());
    }
    glUniform1f(at(p, "u_depthOffset"), u.depthOffset);
    glUniform1i(at(p, "u_texturing"), u.texturing);
    glUniform1i(at(p, "u_wrapInShader"), u.wrapInShader);
    glUniform1i(at(p, "u_texture"), 0);
    glUniform1i(at(p, "u_alphaTest"), u.alphaTest);
    glUniform1f(at(p, "u_alphaReference"), u.alphaReference);

    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Gl11Vertex)), vertices.data(),
                 GL_STREAM_DRAW);
    const struct {
        GLint size;
        std::size_t offset;
    } layout[] = {{3, offsetof(Gl11Vertex, position)},
                  {3, offsetof(Gl11Vertex, normal)},
                  {2, offsetof(Gl11Vertex, texCoord)},
                  {4, offsetof(Gl11Vertex, colour)}};
    for (GLuint i = 0; i < 4; ++i) {
        glEnableVertexAttribArray(i);
        glVertexAttribPointer(i, layout[i].size, GL_FLOAT, GL_FALSE, sizeof(Gl11Vertex),
                              reinterpret_cast<const void*>(layout[i].offset));
    }
    glDrawArrays(primitive, 0, static_cast<GLsizei>(vertices.size()));
}

}  // namespace kelvane
