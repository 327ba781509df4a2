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
target_link_libraries(tavlin_atspi_model PUBLIC tavlin_core)

add_executable(tavlin_atspi_model_tests
  tests/atspi/KeyBindingParserTests.cpp
  tests/atspi/MenuSnapshotTests.cpp
)
target_link_libraries(tavlin_atspi_model_tests PRIVATE tavlin_atspi_model tavlin_sim GTest::gtest GTest::gtest_main)
gtest_discover_tests(tavlin_atspi_model_tests DISCOVERY_TIMEOUT 60)

