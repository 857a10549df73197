# The settings file beside the program survives a rebuild and a second install.
#   cmake -DBUILD_DIR=<build folder> -DSOURCE=<initial settings file> -DPLACE=<settings_file.cmake> -P settings_file_test.cmake
set(work "${BUILD_DIR}/settings_file_test")
file(REMOVE_RECURSE "${work}")
file(READ "${SOURCE}" initial)
set(users "rien\n0\nSIG\nEOF\n/usr/bin/lecteur\n")

function(expect_content path expected what)
  file(READ "${path}" content)
  if(NOT content STREQUAL expected)
    message(FATAL_ERROR "${what}: ${path} holds\n${content}")
  endif()
endfunction()

# The step run after every link of the program.
foreach(run first rebuild)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE=${SOURCE} -DDESTINATION=${work}/build/Orvasel.you -P "${PLACE}"
                  RESULT_VARIABLE failed OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "the build's step failed")
  endif()
  if(run STREQUAL "first")
    expect_content("${work}/build/Orvasel.you" "${initial}" "a first build puts the initial file")
    file(WRITE "${work}/build/Orvasel.you" "${users}")
  else()
    expect_content("${work}/build/Orvasel.you" "${users}" "a rebuild keeps the user's file")
  endif()
endforeach()

# The install, twice.
foreach(run first again)
  execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${work}/prefix"
                  RESULT_VARIABLE failed OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "the install failed")
  endif()
  file(GLOB_RECURSE installed "${work}/prefix/*/Orvasel.you")
  list(LENGTH installed count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "installed settings files: ${installed}")
  endif()
  if(run STREQUAL "first")
    expect_content("${installed}" "${initial}" "a first install puts the initial file")
    file(WRITE "${installed}" "${users}")
  else()
    expect_content("${installed}" "${users}" "a second install keeps the user's file")
  endif()
endforeach()
file(REMOVE_RECURSE "${work}")
