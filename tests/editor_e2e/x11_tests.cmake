# The editor end to end natively: vsthost's X11 editor session drives Hallmere.so on a
# virtual display that each check starts with xvfb-run (skipped, code 77, without it).
find_package(Python3 COMPONENTS Interpreter)
if(TARGET vsthost AND TARGET Hallmere AND Python3_FOUND)
  set(editor_x11_env
    EDITOR_HOST=x11
    VSTHOST=$<TARGET_FILE:vsthost>
    PLUGIN=$<TARGET_FILE:Hallmere>
    WORK=${CMAKE_CURRENT_BINARY_DIR}/work_x11)
  foreach(name open_cycles knob_drag sliders dry_button host_changes displays about meter gate_led two_editors)
    add_test(NAME editor_x11.${name} COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check_editor.sh ${name})
    set_tests_properties(editor_x11.${name} PROPERTIES LABELS "editor;x11" TIMEOUT 600
      ENVIRONMENT "${editor_x11_env}" SKIP_RETURN_CODE 77)
  endforeach()
endif()
