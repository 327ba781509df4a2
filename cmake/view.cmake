# The overlay on screen: the Qt Widgets view of ShortcutOverlay, the overlay panel
# window and its panel port, a tool that renders overlays to PNG files without a
# display, and the view tests (offscreen Qt).
if(TAVLIN_DESKTOP AND NOT TAVLIN_FUZZ)
  tavlin_require_package(Qt6 qt6-base-dev COMPONENTS Widgets)
  tavlin_require_modules(VIEW_XCB libxcb1-dev xcb)

  get_filename_component(_view_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
  set(_overlay ${_view_root}/TavlinUI/Overlay)

  add_library(tavlin_view STATIC
    ${_overlay}/AccessibleScrollArea.cpp
    ${_overlay}/AppIconView.cpp
    ${_overlay}/CloseButton.cpp
    ${_overlay}/CommonRowText.cpp
    ${_overlay}/DisplayText.cpp
    ${_overlay}/EmptyNotice.cpp
    ${_overlay}/FittedLabel.cpp
    ${_overlay}/GroupCard.cpp
    ${_overlay}/InterfaceLanguage.cpp
    ${_overlay}/KeyText.cpp
    ${_overlay}/KeyCap.cpp
    ${_overlay}/LegendLine.cpp
    ${_overlay}/MarginImage.cpp
    ${_overlay}/OverlayCard.cpp
    ${_overlay}/OverlayFooter.cpp
    ${_overlay}/OverlayHeader.cpp
    ${_overlay}/OverlayPanel.cpp
    ${_overlay}/OverlaySnapshot.cpp
    ${_overlay}/OverlayStyle.cpp
    ${_overlay}/OverlayView.cpp
    ${_overlay}/PermissionNotice.cpp
    ${_overlay}/PillButton.cpp
    ${_overlay}/QtPanel.cpp
    ${_overlay}/RoundedFill.cpp
    ${_overlay}/Separator.cpp
    ${_overlay}/ShortcutGrid.cpp
    ${_overlay}/ShortcutRow.cpp
    ${_overlay}/SymbolView.cpp
    ${_overlay}/Symbols.cpp
  )
  set_target_properties(tavlin_view PROPERTIES AUTOMOC ON)

  target_link_libraries(tavlin_view PUBLIC tavlin_core Qt6::Widgets PRIVATE tavlin_show_timing)

  # The interface's languages: one Qt Linguist catalogue per language in translations/
  # (Japanese, the texts' own language, needs none), compiled by lrelease and built in
  # under :/i18n. The target update_translations runs lupdate over the texts of the view
  # and the tray menu's titles, which the shell names and marks with
  # TAVLIN_TRANSLATE_NOOP (platform/Translatable.h).
  tavlin_require_package(Qt6 "qt6-tools-dev qt6-l10n-tools" COMPONENTS LinguistTools)
  file(GLOB _catalogues CONFIGURE_DEPENDS ${_view_root}/translations/tavlin_*.ts)
  file(GLOB _translated_sources ${_overlay}/*.cpp)
  qt_add_translations(tavlin_view
    TS_FILES ${_catalogues}
    RESOURCE_PREFIX /i18n
    SOURCES ${_translated_sources} ${_view_root}/Tavlin/AppDelegate.cpp
    LUPDATE_OPTIONS -no-obsolete -locations none -tr-function-alias QT_TRANSLATE_NOOP+=TAVLIN_TRANSLATE_NOOP)

  # Sample overlays: the Finder's common rows and a code editor's scanned menu.
  add_library(tavlin_view_samples STATIC ${_view_root}/tools/render/SampleOverlays.cpp)
  target_include_directories(tavlin_view_samples PUBLIC ${_view_root})
  target_link_libraries(tavlin_view_samples PUBLIC tavlin_core)

  add_executable(tavlin-render ${_view_root}/tools/render/tavlin-render.cpp)
  target_link_libraries(tavlin-render PRIVATE tavlin_view tavlin_view_samples)

  # Figures for building, laying out and painting the view (bench/, not a test).
  add_executable(tavlin_view_paint ${_view_root}/bench/ViewPaint.cpp)
  target_link_libraries(tavlin_view_paint PRIVATE tavlin_view tavlin_view_samples)

  if(BUILD_TESTING)
  add_executable(tavlin_view_tests
    ${_view_root}/tests/view/ViewTestMain.cpp
    ${_view_root}/tests/view/ViewTestSupport.cpp
    ${_view_root}/tests/view/DisplayTextTests.cpp
    ${_view_root}/tests/view/MarginImageTests.cpp
    ${_view_root}/tests/view/OverlayViewTests.cpp
    ${_view_root}/tests/view/ShortcutGridTests.cpp
    ${_view_root}/tests/view/OverlayPanelTests.cpp
    ${_view_root}/tests/view/LanguageTests.cpp
  )
  target_link_libraries(tavlin_view_tests PRIVATE tavlin_view tavlin_view_samples GTest::gtest)
  gtest_discover_tests(tavlin_view_tests
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${_view_root}/tests/view/lsan.supp"
  )
  endif()

  # End to end: the panel on a private X server with a window manager.
  add_executable(tavlin_panel_on_desktop ${_view_root}/tests/view/PanelOnDesktop.cpp)
  target_link_libraries(tavlin_panel_on_desktop PRIVATE tavlin_view tavlin_view_samples tavlin_x11 PkgConfig::VIEW_XCB)
  add_test(NAME view.PanelOnX11
           COMMAND ${_view_root}/tests/view/panel-on-x11.sh $<TARGET_FILE:tavlin_panel_on_desktop>)
  set_tests_properties(view.PanelOnX11 PROPERTIES
    LABELS e2e
    TIMEOUT 120
    ENVIRONMENT "LSAN_OPTIONS=suppressions=${_view_root}/tests/view/lsan.supp")

  # What the panel's first paint relies on in Qt, on a private X server with a window
  # manager.
  if(BUILD_TESTING)
  add_executable(tavlin_panel_paint_tests ${_view_root}/tests/view/PanelFirstPaintTests.cpp)
  target_link_libraries(tavlin_panel_paint_tests PRIVATE tavlin_view tavlin_linux_common GTest::gtest)
  add_test(NAME view.PanelFirstPaintOnX11
           COMMAND ${_view_root}/scripts/with-desktop -- $<TARGET_FILE:tavlin_panel_paint_tests>)
  set_tests_properties(view.PanelFirstPaintOnX11 PROPERTIES
    LABELS e2e
    TIMEOUT 120
    ENVIRONMENT "LSAN_OPTIONS=suppressions=${_view_root}/tests/view/lsan.supp")
  endif()
endif()
