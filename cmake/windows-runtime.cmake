# A Windows program finds its DLLs beside it: every program of a Windows build goes to one folder,
# with the compiler's runtime DLLs copied there (and, with the windows, Qt's: cmake/gui.cmake).
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
if(MINGW)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${dll_path}")
      message(FATAL_ERROR "The MinGW runtime ${dll} was not found")
    endif()
    file(COPY ${dll_path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  endforeach()
endif()

# Qt's libraries, the platform plugins (the desktop's, and the offscreen one the window tests use),
# the style and Qt's French texts, beside the programs.
function(orvasel_copy_windows_qt)
  get_target_property(core Qt6::Core IMPORTED_LOCATION_RELEASE)
  get_filename_component(qt_bin ${core} DIRECTORY)
  get_filename_component(qt_prefix ${qt_bin} DIRECTORY)
  set(out ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  file(COPY ${qt_bin}/Qt6Core.dll ${qt_bin}/Qt6Gui.dll ${qt_bin}/Qt6Widgets.dll DESTINATION ${out})
  if(ORVASEL_TESTS)
    file(COPY ${qt_bin}/Qt6Test.dll DESTINATION ${out})
  endif()
  file(COPY ${qt_prefix}/plugins/platforms/qwindows.dll ${qt_prefix}/plugins/platforms/qoffscreen.dll
       DESTINATION ${out}/platforms)
  file(GLOB images ${qt_prefix}/plugins/imageformats/*.dll)
  file(COPY ${images} DESTINATION ${out}/imageformats)
  file(GLOB styles ${qt_prefix}/plugins/styles/*.dll)
  if(styles)
    file(COPY ${styles} DESTINATION ${out}/styles)
  endif()
  if(EXISTS /usr/share/qt6/translations/qtbase_fr.qm)
    file(COPY /usr/share/qt6/translations/qtbase_fr.qm DESTINATION ${out}/translations)
  endif()
endfunction()
