# Windows test programs run under Wine through tests/wine/wine-run: each run
# gets a private prefix cloned from a template made once per build tree, a
# private Xvfb screen and its own wineserver.
set(VEXON_WINE_RUN "${CMAKE_SOURCE_DIR}/tests/wine/wine-run")
set(VEXON_WINE_TEMPLATE "${CMAKE_BINARY_DIR}/wine/template")

add_test(NAME wine.template
         COMMAND "${VEXON_WINE_RUN}" --template "${VEXON_WINE_TEMPLATE}" --make-template)
set_tests_properties(wine.template PROPERTIES FIXTURES_SETUP wine_template TIMEOUT 300)

# vexon_add_wine_test(NAME COMMAND exe-or-script args... [WINVER v] [TIMEOUT s])
function(vexon_add_wine_test name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "WINVER;TIMEOUT" "COMMAND")
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set(options --template "${VEXON_WINE_TEMPLATE}" --timeout ${ARG_TIMEOUT})
    if(ARG_WINVER)
        list(APPEND options --winver ${ARG_WINVER})
    endif()
    add_test(NAME ${name} COMMAND "${VEXON_WINE_RUN}" ${options} -- ${ARG_COMMAND})
    math(EXPR ctest_timeout "${ARG_TIMEOUT} + 60")
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_template
                                            TIMEOUT ${ctest_timeout})
endfunction()
