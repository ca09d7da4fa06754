# AddressSanitizer and UndefinedBehaviorSanitizer for the whole build (QUIREX_SANITIZE).
#
# Every program gets the sanitizers' default options and the LeakSanitizer suppressions of
# tests/sanitizers/lsan.supp compiled in, so a program run by hand, by a test or by test
# discovery reports the same way without any environment set up. Options in ASAN_OPTIONS,
# UBSAN_OPTIONS and LSAN_OPTIONS still add to or override them.
add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

set(QUIREX_LSAN_SUPPRESSIONS ${PROJECT_SOURCE_DIR}/tests/sanitizers/lsan.supp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUIREX_LSAN_SUPPRESSIONS})
file(READ ${QUIREX_LSAN_SUPPRESSIONS} QUIREX_LSAN_SUPPRESSION_TEXT)
configure_file(${CMAKE_CURRENT_LIST_DIR}/sanitizerdefaults.cpp.in
  ${CMAKE_BINARY_DIR}/sanitizerdefaults.cpp @ONLY)

# Linked into every target made after this point; only programs compile the file.
add_library(quirex_sanitizer_defaults INTERFACE)
target_sources(quirex_sanitizer_defaults INTERFACE
  $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${CMAKE_BINARY_DIR}/sanitizerdefaults.cpp>)
link_libraries(quirex_sanitizer_defaults)
