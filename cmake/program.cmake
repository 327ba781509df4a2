# The program on a real desktop: the `tavlin` executable, its desktop entry and icon, the
# tests of the desktop adapters, and the end-to-end tests and the latency benchmarks that
# drive it inside a private virtual desktop.
if(TAVLIN_DESKTOP AND NOT TAVLIN_FUZZ)
  if(BUILD_TESTING)
  add_executable(tavlin_desktop_tests
    tests/linux/main.cpp
    tests/linux/AccessibilitySettingsTests.cpp
    tests/linux/CommandLineTests.cpp
    tests/linux/DesktopEntriesTests.cpp
    tests/linux/GLibLogForwardingTests.cpp
    tests/linux/InstanceClientTests.cpp
    tests/linux/HotKeySettingTests.cpp
    tests/linux/KeyTranslationTests.cpp
    tests/linux/PortalHotKeysTests.cpp
    tests/linux/ProcessDesktopEntryTests.cpp
    tests/linux/ProgramIconTests.cpp
    tests/linux/QtMainQueueTests.cpp
    tests/linux/ShortcutTableFilesTests.cpp
    tests/linux/SingleInstanceTests.cpp
    tests/linux/SwayIpcTests.cpp
    tests/linux/ThreadWorkQueueTests.cpp
    tests/linux/TrayMenuTests.cpp
    tests/linux/XdgAutostartTests.cpp
  )
  target_link_libraries(tavlin_desktop_tests PRIVATE tavlin_desktop tavlin_process tavlin_hotkeys tavlin_hotkey_binding
                        tavlin_x11 tavlin_wayland tavlin_app_shortcuts tavlin_glib_log tavlin_shell_sim tavlin_view
                        GTest::gtest PkgConfig::DESKTOP_GIO)
  target_compile_definitions(tavlin_desktop_tests PRIVATE TAVLIN_TEST_DIR="${PROJECT_SOURCE_DIR}/tests/linux"
                             TAVLIN_SHORTCUT_TABLES="${PROJECT_SOURCE_DIR}/data/shortcuts")
  gtest_discover_tests(tavlin_desktop_tests DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

  # The X11 adapters against what other clients may write on a real (private) X server.
  add_executable(tavlin_x11_tests tests/linux/X11WindowsTests.cpp)
  target_link_libraries(tavlin_x11_tests PRIVATE tavlin_x11 GTest::gtest GTest::gtest_main)
  add_test(NAME x11_hostile_properties
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-desktop --no-wm -- $<TARGET_FILE:tavlin_x11_tests>)
  set_tests_properties(x11_hostile_properties PROPERTIES TIMEOUT 120)
  endif()

  # The program, its installation and its end-to-end tests (the other parts are always
  # built, so their targets are there).
  block()
    include(GNUInstallDirs)
    # The Qt program, in the build tree at libexec/tavlin/tavlin as installed at
    # <prefix>/libexec/tavlin/tavlin; users run it through the launcher.
    add_executable(tavlin_program Tavlin/main.cpp)
    target_link_libraries(tavlin_program PRIVATE tavlin_shell tavlin_view tavlin_atspi tavlin_app_shortcuts tavlin_desktop
                          tavlin_process tavlin_x11 tavlin_wayland tavlin_hotkeys tavlin_hotkey_binding tavlin_glib_log)
    target_compile_definitions(tavlin_program PRIVATE TAVLIN_VERSION="${PROJECT_VERSION}")
    set_target_properties(tavlin_program PROPERTIES OUTPUT_NAME tavlin
                          RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/libexec/tavlin)
    install(TARGETS tavlin_program RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tavlin)

    # `tavlin` itself, the launcher (launcher/main.cpp), links libc alone. It finds the
    # program relative to its own folder: build/tavlin runs build/libexec/tavlin/tavlin;
    # the installed one (built apart, as it finds the program elsewhere) runs
    # <prefix>/libexec/tavlin/tavlin from <prefix>/bin.
    file(RELATIVE_PATH launcher_to_libexec ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR})
    foreach(launcher tavlin tavlin_installed_launcher)
      add_executable(${launcher} launcher/main.cpp)
      target_link_libraries(${launcher} PRIVATE tavlin_launch)
      target_compile_options(${launcher} PRIVATE -fno-exceptions -fno-rtti)
      # g++ names libstdc++ and libm on every link: keep only what the code uses.
      target_link_options(${launcher} PRIVATE -Wl,--as-needed)
      add_dependencies(${launcher} tavlin_program)
    endforeach()
    target_compile_definitions(tavlin PRIVATE TAVLIN_PROGRAM="libexec/tavlin/tavlin")
    target_compile_definitions(tavlin_installed_launcher PRIVATE
                               TAVLIN_PROGRAM="${launcher_to_libexec}/tavlin/tavlin")
    set_target_properties(tavlin_installed_launcher PROPERTIES OUTPUT_NAME tavlin
                          RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/installed)
    install(TARGETS tavlin_installed_launcher RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES data/tavlin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The AppStream metadata software centres show; it names the desktop entry above as what it launches.
    install(FILES data/org.tavlin.tavlin.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES data/tavlin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    # The shortcut tables: installed where the data folders find them, and copied into the
    # build's share/, where the built program (libexec/tavlin/tavlin) and tools find them.
    file(GLOB shortcut_tables CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/shortcuts/*.shortcuts)
    install(FILES ${shortcut_tables} DESTINATION ${CMAKE_INSTALL_DATADIR}/tavlin/shortcuts)
    foreach(shortcut_table ${shortcut_tables})
      get_filename_component(name ${shortcut_table} NAME)
      configure_file(${shortcut_table} ${PROJECT_BINARY_DIR}/share/tavlin/shortcuts/${name} COPYONLY)
    endforeach()
    install(FILES docs/tavlin.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # The desktop finds scheme handlers through the applications' MIME cache.
    install(CODE "if(NOT DEFINED ENV{DESTDIR})
      execute_process(COMMAND update-desktop-database \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\"
                      ERROR_QUIET RESULT_VARIABLE ignored)
    endif()")

    # End to end: each script runs in a virtual desktop of its own, so they may run in parallel.
    set(e2e_tests hot_key_toggle switch_application url_request permission single_instance language late_tray
                  start_at_login portal_hot_key instance_guard target_quits browser_tables)
    foreach(name IN LISTS e2e_tests)
      add_test(NAME e2e_${name}
               COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-desktop -- ${PROJECT_SOURCE_DIR}/tests/desktop/${name}.sh
                       $<TARGET_FILE:tavlin>)
    endforeach()
    add_test(NAME e2e_wm_holds_alt_space
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-desktop --wm-holds-alt-space --
                     ${PROJECT_SOURCE_DIR}/tests/desktop/wm_holds_alt_space.sh $<TARGET_FILE:tavlin>)
    list(APPEND e2e_tests wm_holds_alt_space)
    # Whether Tavlin's main thread answers while the application in front, or the
    # accessibility bus, is stopped: measured with X11 pings.
    add_executable(x11-ping tests/desktop/X11Ping.cpp)
    target_link_libraries(x11-ping PRIVATE PkgConfig::X11_XCB)
    add_test(NAME e2e_stopped_target
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-desktop --
                     ${PROJECT_SOURCE_DIR}/tests/desktop/stopped_target.sh $<TARGET_FILE:tavlin> $<TARGET_FILE:x11-ping>)
    list(APPEND e2e_tests stopped_target)
    list(TRANSFORM e2e_tests PREPEND e2e_)
    set_tests_properties(${e2e_tests} PROPERTIES LABELS e2e TIMEOUT 240)

    # The same in a Wayland session: a headless sway of its own per script, native GTK 3
    # and Qt 6 applications, Alt+Space bound to `tavlin --toggle` in sway.
    if(TARGET atspi-qt6-menus)
      set(wayland_tests toggle switch_application url_request permission)
      foreach(name IN LISTS wayland_tests)
        add_test(NAME e2e_wayland_${name}
                 COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-sway -- ${PROJECT_SOURCE_DIR}/tests/wayland/${name}.sh
                         $<TARGET_FILE:tavlin> $<TARGET_FILE:atspi-qt6-menus>)
        set_tests_properties(e2e_wayland_${name} PROPERTIES LABELS e2e TIMEOUT 240)
      endforeach()
      # Whether the main thread answers while the application in front is stopped.
      add_test(NAME e2e_wayland_stopped_target
               COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-sway -- ${PROJECT_SOURCE_DIR}/tests/wayland/stopped_target.sh
                       $<TARGET_FILE:tavlin> $<TARGET_FILE:atspi-qt6-menus> $<TARGET_FILE:x11-ping>)
      set_tests_properties(e2e_wayland_stopped_target PROPERTIES LABELS e2e TIMEOUT 240)
    endif()

    # On GNOME's and KDE's compositors: a headless mutter or KWin of its own per script,
    # native GTK 3 applications, Alt+Space as the desktop's custom binding runs it
    # (`tavlin --toggle`). Each script runs on both, with that compositor's helpers.
    set(compositor_tests switch_application)
    foreach(compositor mutter kwin)
      foreach(name IN LISTS compositor_tests)
        add_test(NAME e2e_${compositor}_${name}
                 COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-${compositor} --
                         ${PROJECT_SOURCE_DIR}/tests/compositor/${name}.sh ${compositor} $<TARGET_FILE:tavlin>)
        set_tests_properties(e2e_${compositor}_${name} PROPERTIES LABELS e2e TIMEOUT 240)
      endforeach()
    endforeach()

    if(TAVLIN_BENCH)
      tavlin_require_modules(XCB_XTEST "libxcb-xtest0-dev libxcb-keysyms1-dev" xcb xcb-xtest xcb-keysyms)
      add_executable(tavlin_hotkey_latency bench/HotKeyLatency.cpp)
      target_link_libraries(tavlin_hotkey_latency PRIVATE PkgConfig::XCB_XTEST)
      add_executable(tavlin_trivial_toggler bench/TrivialToggler.cpp)
      target_link_libraries(tavlin_trivial_toggler PRIVATE PkgConfig::XCB_XTEST)
      add_executable(tavlin_toggle_latency bench/ToggleLatency.cpp)
      target_link_libraries(tavlin_toggle_latency PRIVATE PkgConfig::XCB_XTEST)
      add_executable(tavlin_instance_drip bench/InstanceDrip.cpp)
      target_link_libraries(tavlin_instance_drip PRIVATE tavlin_process)
      add_executable(tavlin_process_time bench/ProcessWallTime.cpp)
      foreach(driver tavlin_hotkey_latency tavlin_trivial_toggler tavlin_toggle_latency tavlin_process_time)
        target_include_directories(${driver} PRIVATE ${PROJECT_SOURCE_DIR})
      endforeach()
    endif()
  endblock()
endif()
