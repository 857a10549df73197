# Puts the initial settings file beside the program where there is none yet. A file already there
# holds the user's bookmarks and paths: no build, install or start replaces it.
#   cmake -DSOURCE=<initial settings file> -DDESTINATION=<settings file beside the program> -P settings_file.cmake
if(EXISTS "${DESTINATION}")
  message(STATUS "Kept: ${DESTINATION}")
else()
  get_filename_component(folder "${DESTINATION}" DIRECTORY)
  file(MAKE_DIRECTORY "${folder}")
  file(COPY_FILE "${SOURCE}" "${DESTINATION}")
  message(STATUS "Installing: ${DESTINATION}")
endif()
