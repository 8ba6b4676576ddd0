# Runs vexon-pipe on a scenario and compares what it prints (standard output
# and standard error together) and its exit status with the expected ones.
#   cmake -DTOOL=... -DSCENARIO=x.pipe -DEXPECTED=x.out [-DSTATUS=n] -P RunScenario.cmake
if(NOT DEFINED STATUS)
    set(STATUS 0)
endif()
execute_process(COMMAND "${TOOL}" "${SCENARIO}"
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
file(READ "${EXPECTED}" expected)
string(APPEND output "${errors}")
if(NOT result EQUAL STATUS)
    message(FATAL_ERROR "exit status ${result}, expected ${STATUS}\n${output}")
endif()
if(NOT output STREQUAL expected)
    message(FATAL_ERROR "output differs from ${EXPECTED}:\n--- got\n${output}--- expected\n${expected}")
endif()
