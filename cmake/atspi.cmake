# Reading other applications' menus through AT-SPI.
#
# tavlin_atspi_model holds what needs no desktop (the key-binding parser and the menu
# snapshot the scanner reads), so that its tests run in every build; tavlin_atspi talks
# to the accessibility bus.
if(TAVLIN_FUZZ)
  return()
endif()

add_library(tavlin_atspi_model STATIC
  platform/linux/KeyBindingParser.cpp
  platform/linux/MenuSnapshot.cpp
  platform/linux/SnapshotElement.cpp
)
# Key names become characters through xkbcommon's key symbol tables.
tavlin_require_modules(ATSPI_XKBCOMMON libxkbcommon-dev xkbcommon)
target_link_libraries(tavlin_atspi_model PUBLIC tavlin_core PRIVATE PkgConfig::ATSPI_XKBCOMMON PkgConfig::ICU)

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

# The menu reader speaks D-Bus through GLib and needs only AT-SPI's constants: it and
# the tests of its parts that need no bus build wherever GLib and those headers are.
if(TAVLIN_DESKTOP)
  tavlin_require_modules(ATSPI "libatspi2.0-dev libglib2.0-dev" atspi-2 gio-2.0)
else()
  pkg_check_modules(ATSPI QUIET IMPORTED_TARGET atspi-2 gio-2.0)
endif()
if(NOT ATSPI_FOUND)
  return()
endif()
pkg_check_modules(ATSPI_GIO REQUIRED QUIET IMPORTED_TARGET gio-2.0)
# The calls to an application's own objects go through libdbus, which reads replies in
# place; the rest of the reader speaks GDBus.
tavlin_require_modules(ATSPI_LIBDBUS libdbus-1-dev dbus-1)

add_library(tavlin_atspi_reader STATIC
  platform/linux/AtspiCallBatch.cpp
  platform/linux/AtspiCalls.cpp
  platform/linux/AtspiCaptureBuilder.cpp
  platform/linux/AtspiMenuBarLocator.cpp
  platform/linux/AtspiMenuReader.cpp
  platform/linux/AtspiMenuWalk.cpp
  platform/linux/AtspiPeerBatch.cpp
  platform/linux/AtspiPeerConnection.cpp
  platform/linux/AtspiPeerLinks.cpp
  platform/linux/AtspiReplies.cpp
  platform/linux/AtspiWireValues.cpp
)
target_include_directories(tavlin_atspi_reader PUBLIC ${ATSPI_INCLUDE_DIRS})
target_link_libraries(tavlin_atspi_reader PUBLIC tavlin_atspi_model PkgConfig::ATSPI_GIO PkgConfig::ATSPI_LIBDBUS)
# What the reader meets (failed calls, odd trees) is logged in a GLib log domain of its
# own: G_MESSAGES_DEBUG=tavlin-atspi shows the debug messages.
target_compile_definitions(tavlin_atspi_reader PRIVATE G_LOG_DOMAIN="tavlin-atspi")

if(BUILD_TESTING)
add_executable(tavlin_atspi_reader_tests tests/atspi/AtspiReaderTests.cpp)
target_link_libraries(tavlin_atspi_reader_tests PRIVATE tavlin_atspi_reader GTest::gtest GTest::gtest_main)
gtest_discover_tests(tavlin_atspi_reader_tests DISCOVERY_TIMEOUT 60)
endif()

if(NOT TAVLIN_DESKTOP)
  return()
endif()

add_library(tavlin_atspi STATIC
  platform/linux/AtspiAccessibility.cpp
  platform/linux/AtspiLauncher.cpp
  platform/linux/AtspiApplicationElement.cpp
)
target_link_libraries(tavlin_atspi PUBLIC tavlin_atspi_reader PRIVATE PkgConfig::ATSPI)
target_compile_definitions(tavlin_atspi PRIVATE G_LOG_DOMAIN="tavlin-atspi")

add_executable(tavlin-scan tools/tavlin-scan.cpp)
target_link_libraries(tavlin-scan PRIVATE tavlin_atspi tavlin_scan_support tavlin_core)

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
