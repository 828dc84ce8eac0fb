# Writes the drawn icon's pixels as a C++ header, so that the Linux viewers
# carry their window icon themselves instead of relying on an installed
# icon theme. The pixels are raw RGBA (ImageMagick decodes the PNGs here),
# so the program needs no image decoder for them.
# Run as: cmake -DCONVERT=... -DICON_DIR=... -DSIZES=16;32;... -DOUTPUT=... -P embed_icon.cmake
# Reads ICON_DIR/kelvane-<size>.png, writes OUTPUT.
foreach(var CONVERT ICON_DIR SIZES OUTPUT)
  if(NOT ${var})
    message(FATAL_ERROR "embed_icon.cmake needs -D${var}=...")
  endif()
endforeach()

set(text "// Written by packaging/embed_icon.cmake from the drawn icon.\n#pragma once\n\n")
string(APPEND text "namespace kelvane::icon {\n\nstruct Pixels {\n    int size;  // width and height\n")
string(APPEND text "    const unsigned char* rgba;  // rows top first, 4 bytes a pixel\n};\n\n")
set(entries "")
foreach(size ${SIZES})
  set(raw ${OUTPUT}.${size}.rgba)
  execute_process(COMMAND ${CONVERT} ${ICON_DIR}/kelvane-${size}.png -depth 8 RGBA:${raw} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "ImageMagick could not read the ${size} pixel icon (${status})")
  endif()
  file(READ ${raw} hex HEX)
  file(REMOVE ${raw})
  string(LENGTH "${hex}" digits)
  math(EXPR expected "${size} * ${size} * 8")
  if(NOT digits EQUAL expected)
    message(FATAL_ERROR "the ${size} pixel icon has ${digits} hex digits of pixels, not ${expected}")
  endif()
  # 16 bytes a line.
  string(REPEAT "." 32 line)
  string(REGEX REPLACE "(${line})" "\\1\n    " hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(STRIP "${bytes}" bytes)
  string(APPEND text "inline constexpr unsigned char kRgba${size}[] = {\n    ${bytes}\n};\n")
  string(APPEND entries "{${size}, kRgba${size}}, ")
endforeach()
string(APPEND text "\ninline constexpr Pixels kSizes[] = {${entries}};\n\n}  // namespace kelvane::icon\n")
file(WRITE ${OUTPUT}.new "${text}")
file(RENAME ${OUTPUT}.new ${OUTPUT})
