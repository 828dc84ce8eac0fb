# The web page as a ZIP of its static files (packages/kelvane-<version>-web.zip
# in the web build's folder): unpacked into any web server's folder, it is
# the page that scripts/web.sh serves.
set(web_zip_name kelvane-${PROJECT_VERSION}-web)
set(web_zip_stage ${PROJECT_BINARY_DIR}/packages/stage)
add_custom_target(kelvane_web_zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${web_zip_stage} ${PROJECT_BINARY_DIR}/packages/${web_zip_name}.zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${web_zip_stage}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${KELVANE_WEB_PAGE_DIR} ${web_zip_stage}/${web_zip_name}
  COMMAND ${CMAKE_COMMAND} -E chdir ${web_zip_stage}
          ${CMAKE_COMMAND} -E tar cf ../${web_zip_name}.zip --format=zip ${web_zip_name}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${web_zip_stage}
  DEPENDS kelvane kelvane-legacy kelvane_web_page kelvane_samples
  COMMENT "Packing the web page")
