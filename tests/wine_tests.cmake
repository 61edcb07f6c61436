# The Windows builds under wine. Each word size has its build tree, its wine loader and
# prefixes of its own, and every wine test is registered once per word size through
# hallmere_wine_test: the x86_64 programs under wine64, the i686 ones under wine32.
#   hallmere_wine_bits          the word sizes with a built tree (64, 32 or both)
#   hallmere_win_dir_<bits>     that tree
# A probe (wine32.prefix) decides once per run whether 32-bit programs start here at all;
# where the kernel refuses them, the 32-bit tests are skipped with its reason. The trees are
# named by the native preset and checked when the tests run, not when they are configured,
# so the order in which the builds are made does not matter.
set(HALLMERE_WIN64_DIR "" CACHE PATH "A win64 build tree whose programs the tests run under wine64")
set(HALLMERE_WIN32_DIR "" CACHE PATH "A win32 build tree whose programs the tests run under wine32")

set(run_wine ${PROJECT_SOURCE_DIR}/tests/tool/run_wine.sh)
set(wine32_runtime ${PROJECT_SOURCE_DIR}/tests/tool/wine32_runtime.sh)
set(wine32_state ${CMAKE_BINARY_DIR}/tests/wine32/runtime.txt)
set(hallmere_wine_bits)
foreach(bits 64 32)
  set(dir ${HALLMERE_WIN${bits}_DIR})
  if(NOT dir)
    continue()
  endif()
  # The 32-bit loader may be missing or refused by the kernel: the probe tells at run time.
  if(bits EQUAL 64)
    set(wine64_found TRUE)
    if(NOT EXISTS /usr/lib/wine/wine64)
      set(wine64_found FALSE)
    endif()
    hallmere_require(wine64_found "/usr/lib/wine/wine64 not found (Debian package wine64): no wine64 tests")
    if(NOT wine64_found)
      continue()
    endif()
  endif()
  list(APPEND hallmere_wine_bits ${bits})
  set(hallmere_win_dir_${bits} ${dir})
  set(wine_prefix_${bits} ${CMAKE_BINARY_DIR}/tests/wine${bits}/prefix)
  set(wine_env_${bits}
    WINE_BITS=${bits}
    HALLMERE_STRICT=$<BOOL:${HALLMERE_STRICT}>
    WINE_RUN=${run_wine}
    WIN_VSTHOST=${dir}/tools/vsthost.exe
    WIN_HARNESS=${dir}/tools/vsthost_harness.exe
    WIN_VST3=${dir}/vst3/Hallmere.vst3
    WIN_DLL=${dir}/plugin/Hallmere.dll
    WIN_PLUGINS=${dir}/tools/test_plugins)
endforeach()

# The 64-bit tests run wherever they are built; the 32-bit ones go through the probe's verdict.
set(wine_gate_64)
set(wine_gate_32 ${wine32_runtime} run ${wine32_state})

# The 32-bit gate skips (77) where the kernel refuses 32-bit programs, in every build; what
# runs behind it, and every 64-bit test, skips only where any test may.
function(hallmere_wine_skippable bits)
  if(bits EQUAL 32)
    set_tests_properties(${ARGN} PROPERTIES SKIP_RETURN_CODE 77)
  else()
    hallmere_skippable(${ARGN})
  endif()
endfunction()

# hallmere_wine_test(BITS NAME COMMAND... [LABELS ...] [ENVIRONMENT ...] [DISPLAY])
# DISPLAY: the program opens windows. It gets the display prefix (a wine session stays bound
# to the display it started on, and each virtual display of the tests is a new one) and
# takes the virtual display lock, as the pointer is shared by everything on a display.
function(hallmere_wine_test bits name)
  cmake_parse_arguments(arg "DISPLAY" "" "COMMAND;LABELS;ENVIRONMENT" ${ARGN})
  set(prefix ${wine_prefix_${bits}})
  set(fixture wine${bits}_prefix)
  if(arg_DISPLAY)
    set(prefix ${prefix}-display)
    set(fixture wine${bits}_display_prefix)
  endif()
  add_test(NAME ${name} COMMAND ${wine_gate_${bits}} ${arg_COMMAND})
  set_tests_properties(${name} PROPERTIES LABELS "wine;wine${bits};${arg_LABELS}" TIMEOUT 600
    FIXTURES_REQUIRED ${fixture} ENVIRONMENT "${wine_env_${bits}};WINE_PREFIX=${prefix};${arg_ENVIRONMENT}")
  hallmere_wine_skippable(${bits} ${name})
  if(arg_DISPLAY)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK editor_display)
  endif()
endfunction()

# The prefixes, set up once per run before the tests that use them. For 32 bits the first is
# the probe: it sets up the prefix where 32-bit programs start, and gives its verdict, which
# the display prefix then waits for.
set(wine_setup_64 ${run_wine} ${wine_prefix_64} --init)
set(wine_setup_32 ${wine32_runtime} probe ${wine32_state} ${wine_prefix_32} ${hallmere_win_dir_32}/tools/vsthost.exe --help)
foreach(bits ${hallmere_wine_bits})
  # Before anything runs under wine: the tree must have been built.
  add_test(NAME wine${bits}.build COMMAND sh -c
    "for f; do [ -f \"$f\" ] || { echo \"$f is missing: build that tree first (cmake --build --preset win${bits})\"; exit 1; }; done"
    wine${bits}.build ${hallmere_win_dir_${bits}}/tools/vsthost.exe ${hallmere_win_dir_${bits}}/tools/vsthost_harness.exe
    ${hallmere_win_dir_${bits}}/plugin/Hallmere.dll)
  set_tests_properties(wine${bits}.build PROPERTIES LABELS "wine;wine${bits}" FIXTURES_SETUP wine${bits}_build)
  add_test(NAME wine${bits}.prefix COMMAND ${wine_setup_${bits}})
  add_test(NAME wine${bits}.display_prefix COMMAND ${wine_gate_${bits}} ${run_wine} ${wine_prefix_${bits}}-display --init)
  set_tests_properties(wine${bits}.prefix wine${bits}.display_prefix PROPERTIES LABELS "wine;wine${bits}"
    TIMEOUT 300 ENVIRONMENT "WINE_BITS=${bits};HALLMERE_STRICT=$<BOOL:${HALLMERE_STRICT}>")
  hallmere_wine_skippable(${bits} wine${bits}.prefix wine${bits}.display_prefix)
  set_tests_properties(wine${bits}.prefix PROPERTIES FIXTURES_SETUP wine${bits}_prefix FIXTURES_REQUIRED wine${bits}_build)
  set_tests_properties(wine${bits}.display_prefix PROPERTIES FIXTURES_SETUP wine${bits}_display_prefix)
endforeach()
if(32 IN_LIST hallmere_wine_bits)
  set_property(TEST wine32.display_prefix APPEND PROPERTY FIXTURES_REQUIRED wine32_prefix)
endif()
