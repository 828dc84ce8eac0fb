// Writes the sample files a newcomer opens from the File menu: a textured,
// lit head model with named objects, its texture archive, a 24-bit picture,
// and the same head for the earlier file generation.
//
//   kelvane-make-samples OUTDIR
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "export/image_writer.h"
#include "writers/dxt_encoder.h"
#include "writers/ebo_writer.h"
#include "writers/file_writer.h"
#include "writers/fsh_writer.h"

namespace {

using kelvane::Generation;
using kelvane::Vec2f;
using kelvane::Vec3f;
using kelvane::writers::EboObject;

constexpr double kPi = std::numbers::pi;

// Part of an ellipsoid as a grid of rows x columns quads, stripped row by
// row; rows are joined by repeating a vertex, which adds triangles of no area.
struct Ellipsoid {
    Vec3f centre;
    Vec3f radius;
    double latitudeTop = kPi / 2;      // +pi/2 is the top of the head (y up)
    double latitudeBottom = -kPi / 2;
    int rows = 16;
    int columns = 24;
};

void appendEllipsoid(EboObject& object, const Ellipsoid& e, bool withNormals) {
    const auto base = static_cast<std::uint16_t>(object.positions.size());
    for (int r = 0; r <= e.rows; ++r) {
        const double lat = e.latitudeTop + (e.latitudeBottom - e.latitudeTop) * r / e.rows;
        for (int c = 0; c <= e.columns; ++c) {
            // Longitude 0 faces the viewer (+z), so the texture's centre column is the face.
            const double lon = -kPi + 2 * kPi * c / e.columns;
            const double x = std::cos(lat) * std::sin(lon), y = std::sin(lat), z = std::cos(lat) * std::cos(lon);
            object.positions.push_back({static_cast<float>(e.centre.x + e.radius.x * x),
                                        static_cast<float>(e.centre.y + e.radius.y * y),
                                        static_cast<float>(e.centre.z + e.radius.z * z)});
            if (withNormals) {
                const double nx = x / e.radius.x, ny = y / e.radius.y, nz = z / e.radius.z;
                const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
                object.normals->push_back(
                    {static_cast<float>(nx / len), static_cast<float>(ny / len), static_cast<float>(nz / len)});
            }
            object.texCoords.push_back({static_cast<float>(c) / e.columns, static_cast<float>(r) / e.rows});
        }
    }
    const int stride = e.columns + 1;
    for (int r = 0; r < e.rows; ++r) {
        if (!object.strip.empty()) {
            object.strip.push_back(object.strip.back());
            object.strip.push_back(static_cast<std::uint16_t>(base + r * stride));
        }
        for (int c = 0; c <= e.columns; ++c) {
            object.strip.push_back(static_cast<std::uint16_t>(base + r * stride + c));
            object.strip.push_back(static_cast<std::uint16_t>(base + (r + 1) * stride + c));
        }
    }
}

// The head, two eyes and a cap of hair, in units of `scale`.
std::vector<EboObject> headObjects(float scale, bool withNormals) {
    auto scaled = [scale](float x, float y, float z) { return Vec3f{x * scale, y * scale, z * scale}; };
    EboObject head;
    head.name = "head";
    if (withNormals) head.normals.emplace();
    appendEllipsoid(head, {scaled(0, 0, 0), scaled(1.0f, 1.25f, 1.05f)}, withNormals);

    EboObject eyes;
    eyes.name = "eyes";
    if (withNormals) eyes.normals.emplace();
    for (float side : {-1.0f, 1.0f})
        appendEllipsoid(eyes, {scaled(0.36f * side, 0.22f, 0.86f), scaled(0.17f, 0.17f, 0.17f), kPi / 2, -kPi / 2, 8, 12},
                        withNormals);

    // Hair has no normals: it stays unlit when "Light" is on.
    EboObject hair;
    hair.name = "hair";
    appendEllipsoid(hair, {scaled(0, 0.08f, -0.04f), scaled(1.08f, 1.3f, 1.12f), kPi / 2, kPi / 12, 8, 24}, false);
    return {head, eyes, hair};
}

using Rgba = std::vector<std::uint8_t>;

void put(Rgba& image, int width, int x, int y, int r, int g, int b, int a = 255) {
    const auto i = static_cast<std::size_t>(y * width + x) * 4;
    image[i] = static_cast<std::uint8_t>(r);
    image[i + 1] = static_cast<std::uint8_t>(g);
    image[i + 2] = static_cast<std::uint8_t>(b);
    image[i + 3] = static_cast<std::uint8_t>(a);
}

// Skin with brows, nose shade and lips around the centre column (the face).
Rgba headTexture(int size) {
    Rgba image(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double u = static_cast<double>(x) / size - 0.5, v = static_cast<double>(y) / size;
            int r = 226, g = 182, b = 150;
            const double shade = 0.85 + 0.15 * std::cos(u * 2 * kPi);
            r = static_cast<int>(r * shade), g = static_cast<int>(g * shade), b = static_cast<int>(b * shade);
            if (std::abs(std::abs(u) - 0.06) < 0.035 && std::abs(v - 0.37) < 0.014) r = 80, g = 50, b = 35;  // brows
            if (std::abs(u) < 0.008 && v > 0.45 && v < 0.56) r -= 20, g -= 20, b -= 20;                      // nose
            if (std::abs(u) < 0.05 && std::abs(v - 0.64) < 0.012) r = 170, g = 70, b = 75;                  // lips
            put(image, size, x, y, r, g, b);
        }
    return image;
}

// Iris and pupil; outside the eyeball's front the texture is transparent,
// so the alpha test lets the head show through.
Rgba eyesTexture(int size) {
    Rgba image(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double u = static_cast<double>(x) / size - 0.5, v = static_cast<double>(y) / size - 0.5;
            const double d = std::sqrt(u * u + v * v);
            if (d < 0.05)
                put(image, size, x, y, 10, 10, 10);
            else if (d < 0.12)
                put(image, size, x, y, 40, 110, 160);
            else if (d < 0.4)
                put(image, size, x, y, 245, 245, 240);
            else
                put(image, size, x, y, 0, 0, 0, 0);
        }
    return image;
}

// Brown strands.
Rgba hairTexture(int size) {
    Rgba image(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int strand = (x * 7 + y / 3) % 11;
            put(image, size, x, y, 90 + strand * 4, 55 + strand * 2, 30);
        }
    return image;
}

std::vector<std::uint8_t> archive() {
    using kelvane::writers::FshImage;
    kelvane::writers::FshArchive fsh;
    auto image = [](const char* name, std::uint16_t code, std::uint32_t size, std::vector<std::uint8_t> data) {
        FshImage result;
        result.name = name;
        result.formatCode = code;
        result.width = result.height = size;
        result.data = std::move(data);
        return result;
    };
    fsh.images.push_back(image("head", 352, 256, kelvane::writers::encodeDxt1(256, 256, headTexture(256))));
    fsh.images.push_back(image("eyes", 353, 64, kelvane::writers::encodeDxt3(64, 64, eyesTexture(64))));
    fsh.images.push_back(image("hair", 352, 128, kelvane::writers::encodeDxt1(128, 128, hairTexture(128))));
    return kelvane::writers::buildFsh(fsh);
}

// A 24-bit picture: a colour wheel on a checker board.
bool writePicture(const std::filesystem::path& path) {
    constexpr int size = 128;
    std::vector<std::uint8_t> rgb(size * size * 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool light = ((x / 16) + (y / 16)) % 2 == 0;
            const double angle = std::atan2(y - size / 2.0, x - size / 2.0);
            auto* p = &rgb[(y * size + x) * 3];
            p[0] = static_cast<std::uint8_t>(127 + 100 * std::cos(angle) + (light ? 28 : -28));
            p[1] = static_cast<std::uint8_t>(127 + 100 * std::cos(angle - 2.1) + (light ? 28 : -28));
            p[2] = static_cast<std::uint8_t>(127 + 100 * std::cos(angle + 2.1) + (light ? 28 : -28));
        }
    return kelvane::writeBmp(path, size, size, rgb.data());
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Writes the Kelvane sample files: head.ebo, head.fsh, picture.bmp, legacy_head.ebo.",
                 "kelvane-make-samples"};
    std::string outDir;
    app.add_option("OUTDIR", outDir, "Folder to write them into (made when missing)")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    } catch (const CLI::ParseError& error) {
        std::fprintf(stderr, "kelvane-make-samples: %s (see --help)\n", error.what());
        return 2;
    }
    const std::filesystem::path out = outDir;
    std::filesystem::create_directories(out);
    kelvane::writers::writeFile(out / "head.ebo", kelvane::writers::makeEbo(headObjects(10.0f, true), Generation::Current));
    // The earlier generation's viewer draws at a fixed distance and a tenth of the size.
    kelvane::writers::writeFile(out / "legacy_head.ebo",
                             kelvane::writers::makeEbo(headObjects(25.0f, false), Generation::Legacy));
    kelvane::writers::writeFile(out / "head.fsh", archive());
    if (!writePicture(out / "picture.bmp")) {
        std::fprintf(stderr, "kelvane-make-samples: cannot write %s\n", (out / "picture.bmp").string().c_str());
        return 1;
    }
    return 0;
}
