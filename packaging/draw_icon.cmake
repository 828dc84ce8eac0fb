# Draws the program icon with ImageMagick: a face on a dark tile, with a few
# strip edges over it for the mesh the viewer shows. Drawn at 256 pixels and
# scaled down for the smaller sizes; the ICO holds all of them.
# Run as: cmake -DCONVERT=... -DOUTPUT_DIR=... -P draw_icon.cmake
# Writes OUTPUT_DIR/kelvane-<size>.png for 16, 32, 48, 64, 128, 256 and
# OUTPUT_DIR/kelvane.ico.
foreach(var CONVERT OUTPUT_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "draw_icon.cmake needs -D${var}=...")
  endif()
endforeach()

set(large ${OUTPUT_DIR}/kelvane-256.png)
execute_process(
  COMMAND ${CONVERT} -size 256x256 xc:none
    # the tile
    -fill "#26344d" -draw "roundrectangle 8,8 247,247 44,44"
    # head, then hair over its top
    -fill "#e9b68f" -draw "ellipse 128,142 70,88 0,360"
    -fill "#6b4428" -draw "ellipse 128,104 74,52 180,360"
    -draw "polygon 54,104 202,104 192,124 64,124"
    # eyes
    -fill "#2f74d8" -draw "circle 100,146 100,157" -draw "circle 156,146 156,157"
    # a triangle strip across the cheeks and chin
    -fill none -stroke "#ffffffb0" -strokewidth 4
    -draw "line 70,176 186,176" -draw "line 96,208 160,208"
    -draw "line 70,176 96,208" -draw "line 96,208 128,176" -draw "line 128,176 160,208"
    -draw "line 160,208 186,176" -draw "line 96,208 128,226" -draw "line 128,226 160,208"
    -strip PNG32:${large}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ImageMagick could not draw the icon (${status})")
endif()

set(pngs)
foreach(size 16 32 48 64 128)
  set(png ${OUTPUT_DIR}/kelvane-${size}.png)
  execute_process(COMMAND ${CONVERT} ${large} -resize ${size}x${size} -strip PNG32:${png} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "ImageMagick could not scale the icon to ${size} (${status})")
  endif()
  list(APPEND pngs ${png})
endforeach()

# Windows picks the size it needs from the ICO; 64 and 128 add nothing there.
list(REMOVE_ITEM pngs ${OUTPUT_DIR}/kelvane-64.png ${OUTPUT_DIR}/kelvane-128.png)
execute_process(COMMAND ${CONVERT} ${pngs} ${large} ${OUTPUT_DIR}/kelvane.ico RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ImageMagick could not write the ICO (${status})")
endif()
