# libFuzzer targets of the file readers (with their round-trip checks), the settings merge, the player's
# command line, the long-path conversion and code page 1252: one per
# tests/fuzz/<target>_fuzz.cpp, named orvasel_fuzz_<target>. Needs clang:
#   CXX=clang++ cmake -S . -B build-fuzz -DORVASEL_FUZZ=ON -DORVASEL_GUI=OFF -DORVASEL_TESTS=OFF -DORVASEL_BENCH=OFF
# Each target runs over a copy of its seed corpus (tests/fuzz/corpus/<target>), for instance
#   build-fuzz/orvasel_fuzz_settings -max_total_time=60 work-corpus tests/fuzz/corpus/settings
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ORVASEL_FUZZ needs clang (libFuzzer), not ${CMAKE_CXX_COMPILER_ID}")
endif()
file(GLOB ORVASEL_FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/*_fuzz.cpp)
foreach(source ${ORVASEL_FUZZ_SOURCES})
  get_filename_component(target ${source} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" target ${target})
  add_executable(orvasel_fuzz_${target} ${source})
  target_link_libraries(orvasel_fuzz_${target} PRIVATE orvasel_core)
  target_include_directories(orvasel_fuzz_${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  target_link_options(orvasel_fuzz_${target} PRIVATE -fsanitize=fuzzer)
endforeach()
