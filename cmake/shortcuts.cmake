# The shortcuts an application keeps beside its menu bar (platform/linux/shortcuts/): the
# fuzz targets of the readers of other programs' files, the tests, and the end-to-end
# check over GNOME applications.
if(TAVLIN_FUZZ)
  foreach(target elf_sections_fuzz shortcuts_window_fuzz)
    add_executable(${target} fuzz/${target}.cpp)
    target_link_libraries(${target} PRIVATE tavlin_shortcuts_readers)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  endforeach()
  return()
endif()

if(BUILD_TESTING)
  # A shortcuts window of our own, built into the test program as glib-compile-resources
  # builds an application's: an ELF section ".gresource.tavlin_test".
  enable_language(C)
  find_program(GLIB_COMPILE_RESOURCES glib-compile-resources REQUIRED)
  set(_fixture ${PROJECT_SOURCE_DIR}/tests/shortcuts/fixture)
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/tavlin_test_resources.c
    COMMAND ${GLIB_COMPILE_RESOURCES} --generate-source --c-name tavlin_test --sourcedir ${_fixture}
            --target ${CMAKE_CURRENT_BINARY_DIR}/tavlin_test_resources.c ${_fixture}/tavlin-test.gresource.xml
    DEPENDS ${_fixture}/tavlin-test.gresource.xml ${_fixture}/gtk/help-overlay.ui ${_fixture}/ui/other.ui)
  foreach(bundle collection single)
    add_custom_command(
      OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/test-bundles/${bundle}.gresource
      COMMAND ${GLIB_COMPILE_RESOURCES} --sourcedir ${_fixture}
              --target ${CMAKE_CURRENT_BINARY_DIR}/test-bundles/${bundle}.gresource ${_fixture}/${bundle}.gresource.xml
      DEPENDS ${_fixture}/${bundle}.gresource.xml ${_fixture}/gtk/help-overlay.ui ${_fixture}/ui/other.ui)
    list(APPEND _test_bundles ${CMAKE_CURRENT_BINARY_DIR}/test-bundles/${bundle}.gresource)
  endforeach()
  find_program(MSGFMT msgfmt REQUIRED)
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/test-locale/de/LC_MESSAGES/tavlin-test.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/test-locale/de/LC_MESSAGES
    COMMAND ${MSGFMT} -o ${CMAKE_CURRENT_BINARY_DIR}/test-locale/de/LC_MESSAGES/tavlin-test.mo ${_fixture}/tavlin-test.po
    DEPENDS ${_fixture}/tavlin-test.po)
  add_custom_target(tavlin_test_catalogue DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/test-locale/de/LC_MESSAGES/tavlin-test.mo
                    ${_test_bundles})
  add_executable(tavlin_shortcuts_tests
    tests/shortcuts/ShortcutsWindowFileTests.cpp
    tests/shortcuts/ShortcutsWindowReaderTests.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/tavlin_test_resources.c
  )
  target_link_libraries(tavlin_shortcuts_tests PRIVATE tavlin_app_shortcuts GTest::gtest GTest::gtest_main)
  target_compile_definitions(tavlin_shortcuts_tests PRIVATE
                             TAVLIN_TEST_LOCALE_DIR="${CMAKE_CURRENT_BINARY_DIR}/test-locale"
                             TAVLIN_TEST_BUNDLES_DIR="${CMAKE_CURRENT_BINARY_DIR}/test-bundles")
  add_dependencies(tavlin_shortcuts_tests tavlin_test_catalogue)
  gtest_discover_tests(tavlin_shortcuts_tests DISCOVERY_TIMEOUT 60)
endif()

if(TAVLIN_BENCH)
  add_executable(tavlin_shortcuts_window_read bench/ShortcutsWindowRead.cpp)
  target_link_libraries(tavlin_shortcuts_window_read PRIVATE tavlin_app_shortcuts)
endif()

if(TARGET tavlin-scan)
  target_link_libraries(tavlin-scan PRIVATE tavlin_app_shortcuts)
endif()

# End to end: GNOME Text Editor and GNOME Files in a private virtual desktop, read by
# tavlin-scan and shown by Tavlin, in English and in Japanese.
if(TAVLIN_DESKTOP AND BUILD_TESTING)
  add_test(NAME e2e_shortcuts_window
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-desktop --
                   ${PROJECT_SOURCE_DIR}/tests/desktop/shortcuts_window.sh $<TARGET_FILE:tavlin> $<TARGET_FILE:tavlin-scan>)
  set_tests_properties(e2e_shortcuts_window PROPERTIES LABELS e2e TIMEOUT 240)
endif()
