#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace kelvane {

// Writes width x height RGBA pixels (row 0 at the top) as a PNG file.
// Returns false if the file cannot be written or the image is empty.
bool writePng(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
              const std::uint8_t* rgba);

// The same PNG file as bytes in memory; empty if the image is.
std::vector<std::uint8_t> encodePng(std::uint32_t width, std::uint32_t height, const std::uint8_t* rgba);

// Writes width x height RGB pixels (row 0 at the top) as a 24-bit BMP file.
bool writeBmp(const std::filesystem::path& path, std::uint32_t width, std::uint32_t height,
              const std::uint8_t* rgb);

}  // namespace kelvane
