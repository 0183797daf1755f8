# clipferry_add_test(NAME <name> LABEL <area> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>])
#
# One Qt Test executable per call, run by CTest on the offscreen platform with the area's
# label. Tests find the build's C: drive through CLIPFERRY_BUILD_DRIVE_C. They see no D-Bus
# bus, so a batch in a test never reaches the desktop of the developer who runs it (no sleep
# inhibited, no task bar progress, no window handed files); a test that needs a bus starts
# its own and points the program at it.
set(CF_NO_BUS "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/session_bus_socket"
    "DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/system_bus_socket")

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
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CLIPFERRY_BUILD_DRIVE_C=${CF_DRIVE_C};${CF_NO_BUS}")
endfunction()
