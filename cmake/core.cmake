# The core: the shortcut model, the scanner, the overlay's content logic and the
# in-memory accessibility adapter. No GUI, no desktop.
tavlin_require_modules(ICU libicu-dev icu-uc)

add_library(tavlin_core STATIC
  TavlinUI/Text.cpp
  TavlinUI/Uuid.cpp
  TavlinUI/ShortcutItem.cpp
  TavlinUI/CommonShortcuts.cpp
  TavlinUI/LinuxCommonShortcuts.cpp
  TavlinUI/ShortcutMerge.cpp
  TavlinUI/Overlay/ShortcutOverlay.cpp
  Tavlin/KeyNotation.cpp
  Tavlin/ShortcutScanner.cpp
  Tavlin/ShortcutSources.cpp
  platform/Accessibility.cpp
  platform/AXRead.cpp
)
target_include_directories(tavlin_core PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tavlin_core PRIVATE PkgConfig::ICU)

add_library(tavlin_sim STATIC
  platform/sim/SimAccessibility.cpp
  platform/sim/SimMenuBar.cpp
)
target_link_libraries(tavlin_sim PUBLIC tavlin_core)

if(BUILD_TESTING AND NOT TAVLIN_FUZZ)
  add_executable(tavlin_core_tests
    tests/core/TextTests.cpp
    tests/core/ShortcutModelTests.cpp
    tests/core/LinuxCommonShortcutsTests.cpp
    tests/core/ShortcutScannerTests.cpp
    tests/core/ShortcutSourcesTests.cpp
    tests/core/ShortcutOverlayTests.cpp
  )
  target_link_libraries(tavlin_core_tests PRIVATE tavlin_sim PkgConfig::ICU GTest::gtest GTest::gtest_main)
  gtest_discover_tests(tavlin_core_tests DISCOVERY_TIMEOUT 60)
endif()

if(TAVLIN_BENCH AND NOT TAVLIN_FUZZ)
  tavlin_require_package(benchmark libbenchmark-dev)
  add_executable(tavlin_core_bench bench/CoreBench.cpp)
  target_link_libraries(tavlin_core_bench PRIVATE tavlin_sim benchmark::benchmark)
endif()

if(TAVLIN_FUZZ)
  foreach(target scanner_fuzz text_fuzz)
    add_executable(${target} fuzz/${target}.cpp)
    target_link_libraries(${target} PRIVATE tavlin_sim)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  endforeach()
endif()
