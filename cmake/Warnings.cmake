# Warnings for the suite's own targets (not for third-party sources).
function(vexon_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(VEXON_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
