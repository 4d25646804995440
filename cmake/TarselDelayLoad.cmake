# Loading system DLLs at their first call instead of before the program's
# first instruction.
#
#   tarsel_delay_load(TARGET dll ...)
#
# For each DLL (by import library name: gdiplus, ws2_32, ...) a delay-import
# library of the same name is made from the toolchain's own import library,
# and the target links against the folder holding them ahead of the
# toolchain's: every "-lNAME" on its link line, its dependencies' included,
# then takes the delay-import one. The DLL is loaded at the first call into
# it; calls that never happen cost nothing. Only system DLLs that are always
# present belong here: a DLL that fails to load at its first call raises an
# exception there instead of stopping the program at start.
find_program(TARSEL_MINGW_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool REQUIRED)
find_program(TARSEL_MINGW_NM NAMES ${TOOLCHAIN_PREFIX}-nm REQUIRED)
find_program(TARSEL_MINGW_AS NAMES ${TOOLCHAIN_PREFIX}-as REQUIRED)
find_program(TARSEL_PYTHON3 python3 REQUIRED)
set(TARSEL_DELAY_IMPORT_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/delay_import/make_delay_import.py")

function(tarsel_delay_load target)
    set(dir "${CMAKE_BINARY_DIR}/delay-import/${target}")
    set(prefix_flag)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        # i686 remakes each function's member (see the script).
        set(prefix_flag --c-prefix "${TARSEL_MINGW_AS}" "${CMAKE_AR}")
    endif()
    set(outputs)
    foreach(dll IN LISTS ARGN)
        find_library(TARSEL_IMPORT_LIB_${dll} NAMES ${dll} REQUIRED)
        set(output "${dir}/lib${dll}.a")
        add_custom_command(OUTPUT "${output}"
            COMMAND "${CMAKE_COMMAND}" -E make_directory "${dir}"
            COMMAND "${TARSEL_PYTHON3}" "${TARSEL_DELAY_IMPORT_SCRIPT}" "${TARSEL_MINGW_NM}"
                    "${TARSEL_MINGW_DLLTOOL}" "${TARSEL_IMPORT_LIB_${dll}}" "${output}" ${prefix_flag}
            DEPENDS "${TARSEL_DELAY_IMPORT_SCRIPT}" "${TARSEL_IMPORT_LIB_${dll}}"
            COMMENT "Delay-import library for ${dll}"
            VERBATIM)
        list(APPEND outputs "${output}")
    endforeach()
    add_custom_target(${target}_delay_imports DEPENDS ${outputs})
    add_dependencies(${target} ${target}_delay_imports)
    target_link_directories(${target} BEFORE PRIVATE "${dir}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${outputs})
endfunction()
