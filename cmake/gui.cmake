find_package(Qt6 REQUIRED COMPONENTS Widgets)
if(WIN32 AND CMAKE_CROSSCOMPILING)
  orvasel_copy_windows_qt()
endif()
set(CMAKE_AUTOMOC ON)

file(GLOB ORVASEL_LIB_SOURCES CONFIGURE_DEPENDS
  platform/*.cpp forms/main/*.cpp forms/about/*.cpp forms/bookmark/*.cpp forms/search/*.cpp app/*.cpp)
list(REMOVE_ITEM ORVASEL_LIB_SOURCES
  ${ORVASEL_CORE_PLATFORM_SOURCES}
  ${CMAKE_CURRENT_SOURCE_DIR}/app/main.cpp)
file(GLOB ORVASEL_LIB_HEADERS CONFIGURE_DEPENDS platform/*.h forms/*/*.h app/*.h)
qt_add_library(orvasel_lib STATIC ${ORVASEL_LIB_SOURCES} ${ORVASEL_LIB_HEADERS})
# The pictures and the window icon, each also drawn for screens set to 150 % and 200 %
# (resources/draw/draw_pictures.py).
file(GLOB ORVASEL_PICTURES RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
  resources/title_strip*.* resources/about*.* resources/orvasel*.png)
qt_add_resources(orvasel_lib "orvasel_pictures" PREFIX "/" BASE resources FILES ${ORVASEL_PICTURES})
target_link_libraries(orvasel_lib PUBLIC orvasel_core Qt6::Widgets)

if(WIN32)
  set(ORVASEL_WIN_RESOURCES resources/orvasel.rc)
endif()
qt_add_executable(orvasel WIN32 app/main.cpp ${ORVASEL_WIN_RESOURCES})
target_link_libraries(orvasel PRIVATE orvasel_lib)

# The settings file of a first run lives beside the program. It is put there only where there is
# none: the one there holds the user's bookmarks and paths, kept across rebuilds and installs.
set(ORVASEL_INITIAL_SETTINGS ${CMAKE_CURRENT_SOURCE_DIR}/resources/Orvasel.you)
set(ORVASEL_PLACE_SETTINGS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/settings_file.cmake)
add_custom_command(TARGET orvasel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${ORVASEL_INITIAL_SETTINGS}
          -DDESTINATION=$<TARGET_FILE_DIR:orvasel>/Orvasel.you -P ${ORVASEL_PLACE_SETTINGS})

include(GNUInstallDirs)
install(TARGETS orvasel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}")
  set(ORVASEL_INSTALLED_BINDIR "${CMAKE_INSTALL_BINDIR}")
else()
  set(ORVASEL_INSTALLED_BINDIR "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}")
endif()
install(CODE "
  set(SOURCE \"${ORVASEL_INITIAL_SETTINGS}\")
  set(DESTINATION \"\$ENV{DESTDIR}${ORVASEL_INSTALLED_BINDIR}/Orvasel.you\")
  include(\"${ORVASEL_PLACE_SETTINGS}\")
")
if(UNIX AND NOT APPLE)
  install(FILES resources/orvasel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES resources/orvasel.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
  foreach(size 16 24 48 64)
    install(FILES resources/orvasel-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME orvasel.png)
  endforeach()
endif()

if(ORVASEL_TESTS)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  file(GLOB ORVASEL_WINDOW_TESTS CONFIGURE_DEPENDS tests/windows/*.cpp tests/support/*.cpp)
  add_executable(orvasel_window_tests ${ORVASEL_WINDOW_TESTS})
  target_link_libraries(orvasel_window_tests PRIVATE orvasel_lib Qt6::Test GTest::gtest)
  target_include_directories(orvasel_window_tests PRIVATE tests)
  # Real project files saved by Cubase (tests/samples/cubase/README.md).
  target_compile_definitions(orvasel_window_tests PRIVATE ORVASEL_SAMPLES_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/samples")
  # The program's .ico, which the window icon must match.
  qt_add_resources(orvasel_window_tests "test_pictures" PREFIX "/tests" BASE resources FILES resources/orvasel.ico)
  # One variable only: the test discovery passes no list on. (The tests start offscreen by themselves.)
  set(ORVASEL_WINDOW_TEST_ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  set(qt QT)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    # Wine keeps the host's QT_ variables from Windows programs: it passes WINEQT_ ones as QT_.
    set(qt WINEQT)
    # Under Wine, Qt's offscreen platform reads the fonts of one folder: the build machine's
    # Liberation fonts, which also stand in for "MS Sans Serif" on Linux, so that both measure alike.
    set(ORVASEL_WINDOW_TEST_ENVIRONMENT "WINEQT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/liberation")
  endif()
  gtest_discover_tests(orvasel_window_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "${ORVASEL_WINDOW_TEST_ENVIRONMENT}")
  # The captions once more on a screen set to 200 %: the scale is read when the application starts.
  add_test(NAME CaptionsTest.At200Percent COMMAND orvasel_window_tests --gtest_filter=CaptionsTest.*)
  set_tests_properties(CaptionsTest.At200Percent PROPERTIES
    ENVIRONMENT "${ORVASEL_WINDOW_TEST_ENVIRONMENT};${qt}_SCALE_FACTOR=2")
  add_test(NAME SettingsFileBesideProgram.RebuildsAndInstallsKeepTheUsersFile
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE=${ORVASEL_INITIAL_SETTINGS}
            -DPLACE=${ORVASEL_PLACE_SETTINGS} -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/build/settings_file_test.cmake)
  if(UNIX AND NOT APPLE)
    # The desktop entry, started as the desktop's menus start it (gio: GNOME's launcher).
    find_program(ORVASEL_GIO gio REQUIRED)
    add_test(NAME DesktopEntry.StartsInTheHomeFolder
      COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/tests/build/desktop_entry_test.sh ${ORVASEL_GIO}
              ${CMAKE_CURRENT_SOURCE_DIR}/resources/orvasel.desktop)
  endif()
  # Power cuts at every step of the saves, on a file system that keeps only what was flushed
  # (FUSE, Linux): built where libfuse3 is, skipped at run time where /dev/fuse is not.
  find_package(PkgConfig QUIET)
  if(UNIX AND NOT APPLE AND PkgConfig_FOUND)
    pkg_check_modules(FUSE3 QUIET IMPORTED_TARGET fuse3)
  endif()
  if(FUSE3_FOUND)
    file(GLOB ORVASEL_POWER_CUT_TESTS CONFIGURE_DEPENDS tests/power_cut/*.cpp tests/support/*.cpp)
    add_executable(orvasel_power_cut_tests ${ORVASEL_POWER_CUT_TESTS})
    target_link_libraries(orvasel_power_cut_tests PRIVATE orvasel_lib Qt6::Test GTest::gtest PkgConfig::FUSE3)
    target_include_directories(orvasel_power_cut_tests PRIVATE tests)
    # Its request handlers bear the names of the system calls they answer: compiled alone.
    set_source_files_properties(tests/power_cut/power_cut_fs.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    gtest_discover_tests(orvasel_power_cut_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(WIN32)
    # The player and Cubase of the Windows shell tests: it records how the shell started it.
    add_executable(orvasel_test_player tests/player/test_player.cpp)
    target_link_libraries(orvasel_test_player PRIVATE shell32)
    add_dependencies(orvasel_window_tests orvasel_test_player)
  endif()
endif()
