# The layers, lowest first: the libraries and programs of each folder may
# link the libraries of the folders named after it, and nothing else of the
# project (tests/ may use them all).
set(KELVANE_LAYERS
  # folder    may use
  "common"
  "model      common"
  "textures   common"
  "platform   common"
  "render     common model textures"
  "writers    common model"
  "export     common model textures render"
  "thumbnail  common model textures platform render"
  "app        common model textures platform render export"
  "tools      common model textures platform render export thumbnail"
  "samples    common model writers export"
  "bench      common model textures platform render writers"
)

# KELVANE_USES_<folder> holds what the folder may use; a row names only
# folders above it.
foreach(row ${KELVANE_LAYERS})
  string(REGEX REPLACE " +" ";" row "${row}")
  list(POP_FRONT row folder)
  foreach(used ${row})
    if(NOT DEFINED KELVANE_USES_${used})
      message(FATAL_ERROR "Layers: ${folder}/ uses ${used}/, which is not above it")
    endif()
  endforeach()
  set(KELVANE_USES_${folder} "${row}")
endforeach()

# The top folder of the project that `dir` lies in ("" for the top itself).
function(kelvane_folder_of dir out)
  file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} ${dir})
  string(REGEX REPLACE "/.*" "" folder "${path}")
  set(${out} "${folder}" PARENT_SCOPE)
endfunction()

# `target` includes the headers of its own folder (`model/...` in model/):
# a folder in the build tree with a link to that folder becomes its include
# directory, and the include directory of everything that links it. So a
# library sees its own folder and those of the libraries it links, and an
# include from any other folder fails to compile.
function(kelvane_layer_folder target)
  kelvane_folder_of(${CMAKE_CURRENT_SOURCE_DIR} folder)
  set(dir ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${dir})
  elseif(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${dir})
  else()
    target_include_directories(${target} PUBLIC ${dir})
  endif()
endfunction()

# The targets defined in `dir` and in the folders below it, in `out`: the
# folder's own first, then each subfolder's in the order they were added.
function(kelvane_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    kelvane_targets_below(${subdir} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# Every library and program in `dir` and below links only libraries of its
# own folder and of the folders its row of KELVANE_LAYERS names.
function(kelvane_check_layers dir)
  kelvane_targets_below(${dir} targets)
  foreach(target ${targets})
    get_target_property(target_dir ${target} SOURCE_DIR)
    kelvane_folder_of(${target_dir} folder)
    if(NOT DEFINED KELVANE_USES_${folder})
      continue()
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(links ${target} LINK_LIBRARIES)
    endif()
    foreach(link ${links})
      if(NOT TARGET "${link}")
        continue()
      endif()
      get_target_property(imported ${link} IMPORTED)
      get_target_property(aliased ${link} ALIASED_TARGET)
      if(aliased)
        set(link ${aliased})
      endif()
      get_target_property(link_dir ${link} SOURCE_DIR)
      kelvane_folder_of(${link_dir} used)
      if(NOT imported AND NOT used STREQUAL "" AND NOT used STREQUAL folder
         AND NOT used IN_LIST KELVANE_USES_${folder})
        message(SEND_ERROR "${target} links ${link}, but ${folder}/ may not use ${used}/ "
                           "(the layers are in cmake/targets.cmake)")
      endif()
    endforeach()
  endforeach()
endfunction()

# Every library and program of the project, in `dir` and below, compiles
# with the project's warnings.
function(kelvane_use_warnings dir)
  kelvane_targets_below(${dir} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
      target_link_libraries(${target} PRIVATE kelvane_warnings)
    endif()
  endforeach()
endfunction()
