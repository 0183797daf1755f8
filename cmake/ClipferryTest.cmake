# clipferry_add_test(NAME <name> LABEL <area> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>])
#
# One Qt Test executable per call, run by CTest on the offscreen platform with the area's
# label. Tests find the build's C: drive through CLIPFERRY_BUILD_DRIVE_C.
function(clipferry_add_test)
    cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test cf_test_support ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS "${T_LABEL}"
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CLIPFERRY_BUILD_DRIVE_C=${CF_DRIVE_C}")
endfunction()
