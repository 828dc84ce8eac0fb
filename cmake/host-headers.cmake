# The header-only libraries (CLI11, nlohmann/json, stb) are the build host's
# Debian packages. A cross-compiler (MinGW, Emscripten) must not see the rest of the host's
# /usr/include, so a folder in the build tree links to these three only.
set(KELVANE_HOST_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${KELVANE_HOST_HEADERS})
foreach(dir CLI nlohmann stb)
  if(NOT EXISTS /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/install-deps.sh")
  endif()
  file(CREATE_LINK /usr/include/${dir} ${KELVANE_HOST_HEADERS}/${dir} SYMBOLIC)
endforeach()
include_directories(SYSTEM ${KELVANE_HOST_HEADERS})
set(STB_INCLUDE_DIR ${KELVANE_HOST_HEADERS}/stb CACHE PATH "stb headers" FORCE)
