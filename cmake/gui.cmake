find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(CMAKE_AUTOMOC ON)

file(GLOB ORVASEL_LIB_SOURCES CONFIGURE_DEPENDS
  platform/*.cpp forms/main/*.cpp forms/about/*.cpp forms/bookmark/*.cpp forms/search/*.cpp app/*.cpp)
list(REMOVE_ITEM ORVASEL_LIB_SOURCES
  ${ORVASEL_CORE_PLATFORM_SOURCES}
  ${CMAKE_CURRENT_SOURCE_DIR}/app/main.cpp)
file(GLOB ORVASEL_LIB_HEADERS CONFIGURE_DEPENDS platform/*.h forms/*/*.h app/*.h)
qt_add_library(orvasel_lib STATIC ${ORVASEL_LIB_SOURCES} ${ORVASEL_LIB_HEADERS})
set(ORVASEL_PICTURES)
foreach(picture title_strip.bmp about.bmp orvasel.png)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/resources/${picture})
    list(APPEND ORVASEL_PICTURES resources/${picture})
  endif()
endforeach()
qt_add_resources(orvasel_lib "orvasel_pictures" PREFIX "/" BASE resources FILES ${ORVASEL_PICTURES})
target_link_libraries(orvasel_lib PUBLIC orvasel_core Qt6::Widgets)

if(WIN32)
  set(ORVASEL_WIN_RESOURCES resources/orvasel.rc)
endif()
qt_add_executable(orvasel WIN32 app/main.cpp ${ORVASEL_WIN_RESOURCES})
target_link_libraries(orvasel PRIVATE orvasel_lib)

# The settings file of a first run lives beside the program.
add_custom_command(TARGET orvasel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          ${CMAKE_CURRENT_SOURCE_DIR}/resources/Orvasel.you $<TARGET_FILE_DIR:orvasel>/Orvasel.you)

include(GNUInstallDirs)
install(TARGETS orvasel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/Orvasel.you DESTINATION ${CMAKE_INSTALL_BINDIR})
if(UNIX AND NOT APPLE)
  install(FILES resources/orvasel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES resources/orvasel.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
endif()

if(ORVASEL_TESTS)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  file(GLOB ORVASEL_WINDOW_TESTS CONFIGURE_DEPENDS tests/windows/*.cpp tests/support/*.cpp)
  add_executable(orvasel_window_tests ${ORVASEL_WINDOW_TESTS})
  target_link_libraries(orvasel_window_tests PRIVATE orvasel_lib Qt6::Test GTest::gtest)
  target_include_directories(orvasel_window_tests PRIVATE tests)
  gtest_discover_tests(orvasel_window_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endif()
