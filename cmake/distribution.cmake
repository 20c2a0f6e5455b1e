# Stages the distributable folder: the launcher and its start page side by side, plus the
# WebView2 loader when the builder names it (it comes from Microsoft's WebView2 SDK package and
# is not kept here; without it the launcher finds the loader on the library search path).
# Also zips that folder for release.
set(WEBVIEW2_LOADER_DLL "" CACHE FILEPATH "x64 WebView2Loader.dll to ship beside the launcher")
set(LAUNCHER_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
set(LAUNCHER_DIST_ZIP ${CMAKE_BINARY_DIR}/OstrivanLauncher-${PROJECT_VERSION}-win64.zip)

set(dist_files OstrivanLauncher.exe index.html)
set(copy_loader)
if(WEBVIEW2_LOADER_DLL)
  list(APPEND dist_files WebView2Loader.dll)
  set(copy_loader COMMAND ${CMAKE_COMMAND} -E copy ${WEBVIEW2_LOADER_DLL} ${LAUNCHER_DIST_DIR}/WebView2Loader.dll)
endif()

add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${LAUNCHER_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LAUNCHER_DIST_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:OstrivanLauncher> ${PROJECT_SOURCE_DIR}/page/index.html
          ${LAUNCHER_DIST_DIR}
  ${copy_loader}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${LAUNCHER_DIST_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${LAUNCHER_DIST_DIR} ${CMAKE_COMMAND} -E tar cf ${LAUNCHER_DIST_ZIP} --format=zip
          ${dist_files}
  DEPENDS OstrivanLauncher ${PROJECT_SOURCE_DIR}/page/index.html
  COMMENT "Staging ${LAUNCHER_DIST_DIR} and ${LAUNCHER_DIST_ZIP}"
  VERBATIM)
