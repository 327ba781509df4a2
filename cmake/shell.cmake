# The application shell: URL parsing, the global hot key and the delegate, written
# against the ports; the in-memory adapters of those ports; their tests and fuzz target.
tavlin_require_modules(URIPARSER liburiparser-dev liburiparser)

add_library(tavlin_shell STATIC
  platform/Url.cpp
  Tavlin/GlobalHotKey.cpp
  Tavlin/AppDelegate.cpp
)
target_link_libraries(tavlin_shell PUBLIC tavlin_core PRIVATE PkgConfig::URIPARSER)

add_library(tavlin_shell_sim STATIC
  platform/sim/SimMainQueue.cpp
  platform/sim/SimHotKeys.cpp
  platform/sim/SimPanel.cpp
  platform/sim/SimStatusItem.cpp
  platform/sim/SimWindowSystem.cpp
  platform/sim/SimWorkQueue.cpp
)
target_link_libraries(tavlin_shell_sim PUBLIC tavlin_shell tavlin_sim)

if(BUILD_TESTING AND NOT TAVLIN_FUZZ)
  add_executable(tavlin_shell_tests
    tests/shell/UrlTests.cpp
    tests/shell/GlobalHotKeyTests.cpp
    tests/shell/LaunchTests.cpp
    tests/shell/OverlayFlowTests.cpp
    tests/shell/PanelFrameTests.cpp
    tests/shell/PermissionFlowTests.cpp
    tests/shell/UrlRequestTests.cpp
  )
  target_link_libraries(tavlin_shell_tests PRIVATE tavlin_shell_sim GTest::gtest GTest::gtest_main)
  gtest_discover_tests(tavlin_shell_tests DISCOVERY_TIMEOUT 60)
endif()

if(TAVLIN_FUZZ)
  add_executable(url_fuzz fuzz/url_fuzz.cpp)
  target_link_libraries(url_fuzz PRIVATE tavlin_shell_sim)
  target_link_options(url_fuzz PRIVATE -fsanitize=fuzzer)
endif()
