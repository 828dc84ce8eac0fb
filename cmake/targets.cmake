# Each library sees only the source folders its layer may include (the
# order scripts/check-layers.sh keeps): a folder in the build tree with links
# to them is its include directory, so an include against the layers fails
# to compile. Users of a library see its folders too, which the layer order
# allows them anyway.
function(kelvane_layer_folders target)
  set(dir ${PROJECT_BINARY_DIR}/layers/${target})
  file(MAKE_DIRECTORY ${dir})
  foreach(folder ${ARGN})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${dir})
  elseif(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${dir})
  else()
    target_include_directories(${target} PUBLIC ${dir})
  endif()
endfunction()

# Every library and program of the project, in `dir` and below, compiles
# with the project's warnings.
function(kelvane_use_warnings dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
      target_link_libraries(${target} PRIVATE kelvane_warnings)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    kelvane_use_warnings(${subdir})
  endforeach()
endfunction()
