find_package(benchmark REQUIRED)
add_executable(orvasel_bench_info_file bench/info_file_bench.cpp)
target_link_libraries(orvasel_bench_info_file PRIVATE orvasel_core benchmark::benchmark)
if(ORVASEL_GUI)
  add_executable(orvasel_bench_search bench/search_bench.cpp)
  target_link_libraries(orvasel_bench_search PRIVATE orvasel_lib benchmark::benchmark)
  add_executable(orvasel_bench_catalogue bench/catalogue_bench.cpp)
  target_link_libraries(orvasel_bench_catalogue PRIVATE orvasel_lib benchmark::benchmark)
endif()
if(ORVASEL_GUI AND NOT WIN32)
  # A click on "Rafraichir" as the user pays it: the real program on a virtual display, clicked from
  # outside (Xvfb, xdotool), its processor time against a run without clicks.
  find_package(X11 REQUIRED)
  add_executable(orvasel_bench_listing bench/listing_bench.cpp)
  target_link_libraries(orvasel_bench_listing PRIVATE X11::X11)
  set_target_properties(orvasel_bench_listing PROPERTIES AUTOMOC OFF)
  add_dependencies(orvasel_bench_listing orvasel)
  if(ORVASEL_TESTS)
    # Run once on a tiny folder so that it keeps working; its figures are not checked.
    add_test(NAME ListingBench.RunsOnATinyFolder
      COMMAND orvasel_bench_listing $<TARGET_FILE:orvasel> --entries 50 --runs 1 --clicks-cost 5)
  endif()
  # The folder watched while projects are saved into it, in real seconds (a timed run, not repetitions).
  add_executable(orvasel_bench_watch bench/watch_bench.cpp)
  target_link_libraries(orvasel_bench_watch PRIVATE orvasel_lib)
  # What is inside each project: real project files, the page cache dropped for the cold figures,
  # the process's peak memory (Linux's /proc).
  add_executable(orvasel_bench_projects bench/project_bench.cpp)
  target_link_libraries(orvasel_bench_projects PRIVATE orvasel_lib benchmark::benchmark)
  target_compile_definitions(orvasel_bench_projects PRIVATE ORVASEL_SAMPLES_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/samples")
endif()
