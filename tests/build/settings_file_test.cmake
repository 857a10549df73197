# The settings file beside the program survives a rebuild and a second install.
#   cmake -DBUILD_DIR=<build folder> -DSOURCE=<initial settings file> -DPLACE=<settings_file.cmake> -P settings_file_test.cmake
set(work "${BUILD_DIR}/settings_file_test")
file(REMOVE_RECURSE "${work}")
file(READ "${SOURCE}" initial)
set(users "rien\n0\n/home/moi/Albums/\nSIG\nAlbums\nEOF\n/usr/bin/lecteur\n")

# Runs a step twice: the first puts the initial file where `found` matches; the user then changes
# it, and the second run must leave the user's file as it is.
function(run_twice what found)
  foreach(run first second)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_QUIET)
    if(failed)
      message(FATAL_ERROR "${what}: the ${run} run failed")
    endif()
    file(GLOB_RECURSE settings "${found}")
    list(LENGTH settings count)
    if(NOT count EQUAL 1)
      message(FATAL_ERROR "${what}: settings files after the ${run} run: ${settings}")
    endif()
    file(READ "${settings}" content)
    if(run STREQUAL "first" AND NOT content STREQUAL initial)
      message(FATAL_ERROR "${what}: the first run did not put the initial file, ${settings} holds\n${content}")
    elseif(run STREQUAL "second" AND NOT content STREQUAL users)
      message(FATAL_ERROR "${what}: the second run replaced the user's file, ${settings} holds\n${content}")
    endif()
    file(WRITE "${settings}" "${users}")
  endforeach()
endfunction()

run_twice("the step after each link" "${work}/build/Orvasel.you"
          "${CMAKE_COMMAND}" -DSOURCE=${SOURCE} -DDESTINATION=${work}/build/Orvasel.you -P "${PLACE}")
run_twice("the install" "${work}/prefix/*/Orvasel.you"
          "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${work}/prefix")
file(REMOVE_RECURSE "${work}")
