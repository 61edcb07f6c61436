# The editor end to end natively: vsthost's X11 editor session drives Hallmere.so (and the
# VST 3 bundle's view) on a virtual display that each check starts with xvfb-run (skipped,
# code 77, without it).
find_package(Python3 COMPONENTS Interpreter)
hallmere_require(Python3_FOUND "python3 not found: no editor tests (they compare the panel's pixels with it)")
find_program(HALLMERE_XVFB_RUN xvfb-run)
hallmere_require(HALLMERE_XVFB_RUN "xvfb-run not found (Debian package xvfb): the editor tests have no display")
if(TARGET vsthost AND TARGET Hallmere AND Python3_FOUND)
  set(editor_x11_env
    EDITOR_HOST=x11
    VSTHOST=$<TARGET_FILE:vsthost>
    PLUGIN=$<TARGET_FILE:Hallmere>
    WORK=${CMAKE_CURRENT_BINARY_DIR}/work_x11)
  foreach(name open_cycles knob_drag sliders dry_button host_changes displays about meter gate_led two_editors)
    add_test(NAME editor_x11.${name} COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check_editor.sh ${name})
    # Each check has a display of its own, but xvfb-run -a picks display numbers racily:
    # the editor checks start their servers one at a time.
    set_tests_properties(editor_x11.${name} PROPERTIES LABELS "editor;x11" TIMEOUT 600
      ENVIRONMENT "${editor_x11_env}" RESOURCE_LOCK editor_display)
    hallmere_skippable(editor_x11.${name})
  endforeach()
  if(TARGET hallmere_vst3)
    add_test(NAME editor_x11.vst3_panel COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check_editor.sh vst3_panel)
    set_tests_properties(editor_x11.vst3_panel PROPERTIES LABELS "editor;x11;vst3" TIMEOUT 600
      ENVIRONMENT "${editor_x11_env};VST3=${HALLMERE_VST3_BUNDLE}" RESOURCE_LOCK editor_display)
    hallmere_skippable(editor_x11.vst3_panel)
  endif()
endif()

# The X11 frame window itself, on a virtual display of its own.
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(X11_TEST IMPORTED_TARGET x11 xtst)
endif()
hallmere_require(X11_TEST_FOUND "X11 or XTest not found (libx11-dev, libxtst-dev): no test of the X11 frame window")
if(X11_TEST_FOUND AND TARGET GTest::gtest_main)
  add_executable(test_frame_window_x11 ${CMAKE_CURRENT_SOURCE_DIR}/frame_window_x11_test.cpp)
  target_link_libraries(test_frame_window_x11 PRIVATE hallmere_gui PkgConfig::X11_TEST GTest::gtest GTest::gtest_main)
  add_test(NAME editor_x11.frame_window COMMAND sh -c
    "command -v xvfb-run >/dev/null || { echo 'xvfb-run is not installed: skipped'; exit 77; }; exec xvfb-run -a -s '-screen 0 1024x768x24' \"$0\""
    $<TARGET_FILE:test_frame_window_x11>)
  set_tests_properties(editor_x11.frame_window PROPERTIES LABELS "editor;x11" TIMEOUT 120 RESOURCE_LOCK editor_display)
  hallmere_skippable(editor_x11.frame_window)
endif()
