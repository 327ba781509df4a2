# Reading other applications' menus through AT-SPI (platform/linux/atspi/): the tests of
# its parts, tavlin-scan, and the end-to-end checks over real applications.
if(TAVLIN_FUZZ)
  return()
endif()

# The JSON and tab-separated text of tavlin-scan's output.
add_library(tavlin_scan_support STATIC tools/JsonText.cpp tools/TabbedText.cpp)
target_include_directories(tavlin_scan_support PUBLIC ${PROJECT_SOURCE_DIR})

if(BUILD_TESTING)
add_executable(tavlin_atspi_model_tests
  tests/atspi/JsonTextTests.cpp
  tests/atspi/TabbedTextTests.cpp
  tests/atspi/KeyBindingParserTests.cpp
  tests/atspi/MenuSnapshotTests.cpp
)
target_link_libraries(tavlin_atspi_model_tests PRIVATE tavlin_atspi_model tavlin_scan_support tavlin_sim GTest::gtest GTest::gtest_main)
gtest_discover_tests(tavlin_atspi_model_tests DISCOVERY_TIMEOUT 60)
endif()

if(NOT TARGET tavlin_atspi_reader)
  return()
endif()

if(BUILD_TESTING)
add_executable(tavlin_atspi_reader_tests tests/atspi/AtspiReaderTests.cpp tests/atspi/AtspiMenuReaderTests.cpp
  tests/atspi/StandInApplication.cpp)
target_link_libraries(tavlin_atspi_reader_tests PRIVATE tavlin_atspi_reader PkgConfig::ATSPI GTest::gtest GTest::gtest_main)
gtest_discover_tests(tavlin_atspi_reader_tests DISCOVERY_TIMEOUT 60)
endif()

if(NOT TAVLIN_DESKTOP)
  return()
endif()

add_executable(tavlin-scan tools/tavlin-scan.cpp)
target_link_libraries(tavlin-scan PRIVATE tavlin_atspi tavlin_scan_support tavlin_core tavlin_glib_log)

add_executable(atspi-probe tests/atspi/AtspiProbe.cpp)
target_link_libraries(atspi-probe PRIVATE tavlin_atspi tavlin_core)

# End to end: real GTK 3 and Qt 5 applications in a private virtual desktop (among them
# LibreOffice Writer, Kate and Dolphin), and a small Qt 6 window of our own.
find_package(Qt6 QUIET COMPONENTS Widgets)
set(atspi_checks gtk3-demo qt5-application stopped-target quitting-target permission descriptors
    libreoffice-writer kate dolphin global-menu)
set(atspi_qt6_fixture "")
if(Qt6Widgets_FOUND)
  add_executable(atspi-qt6-menus tests/atspi/Qt6MenusFixture.cpp)
  target_link_libraries(atspi-qt6-menus PRIVATE Qt6::Widgets)
  list(APPEND atspi_checks qt6-menus big-menus)
  set(atspi_qt6_fixture $<TARGET_FILE:atspi-qt6-menus>)
endif()
set(TAVLIN_QT5_APPLICATION_EXAMPLE
  /usr/lib/x86_64-linux-gnu/qt5/examples/widgets/mainwindows/application/application
  CACHE FILEPATH "The Qt 5 \"application\" example (package qtbase5-examples)")
foreach(check ${atspi_checks})
  add_test(NAME atspi_e2e_${check}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-desktop --
            ${PROJECT_SOURCE_DIR}/tests/atspi/e2e.sh ${check} $<TARGET_FILE:tavlin-scan>
            $<TARGET_FILE:atspi-probe> ${TAVLIN_QT5_APPLICATION_EXAMPLE} ${atspi_qt6_fixture})
  set_tests_properties(atspi_e2e_${check} PROPERTIES LABELS e2e TIMEOUT 600)
endforeach()
# LibreOffice's first start on a fresh profile takes a minute on a busy machine.
set_tests_properties(atspi_e2e_libreoffice-writer PROPERTIES TIMEOUT 400)
