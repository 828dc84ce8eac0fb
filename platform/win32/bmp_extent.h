#pragma once

#include <cstdint>

#include "common/byte_reader.h"

namespace kelvane::platform::win32 {

// True when a BMP file holds everything its headers promise: the info
// header, the colour table and the pixel data up to the last row. The
// system's bitmap loader maps the file and reads what the header says,
// so a short file would otherwise be read past its end. `pixels`, when
// given, receives width x height as the header states them.
bool bmpDataInsideFile(ByteReader& file, std::uint64_t* pixels = nullptr);

}  // namespace kelvane::platform::win32
