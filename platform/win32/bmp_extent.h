#pragma once

#include "common/byte_reader.h"

namespace kelvane::platform::win32 {

// True when a BMP file holds everything its headers promise: the info
// header, the colour table and the pixel data up to the last row. The
// system's bitmap loader maps the file and reads what the header says,
// so a short file would otherwise be read past its end.
bool bmpDataInsideFile(ByteReader& file);

}  // namespace kelvane::platform::win32
