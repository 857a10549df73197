# AddressSanitizer and UndefinedBehaviorSanitizer on every target of the build (the tests, the
# program, the fuzz targets). Any finding of undefined behaviour stops the program, so that a
# test that runs into one fails.
if(MSVC)
  message(FATAL_ERROR "ORVASEL_SANITIZE and ORVASEL_FUZZ need gcc or clang")
endif()
set(ORVASEL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(${ORVASEL_SANITIZER_FLAGS})
add_link_options(${ORVASEL_SANITIZER_FLAGS})
if(ORVASEL_FUZZ)
  # Coverage for libFuzzer in every library the targets link; the fuzzer's own main comes with
  # the targets (cmake/fuzz.cmake).
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
