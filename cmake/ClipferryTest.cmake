# clipferry_add_test(NAME <name> LABEL <area> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>]
#                    [BUS])
#
# One Qt Test executable per call, run by CTest on the offscreen platform with the area's
# label. Tests find the build's C: drive through CLIPFERRY_BUILD_DRIVE_C. They see no D-Bus
# bus, so a batch in a test never reaches the desktop of the developer who runs it (no sleep
# inhibited, no task bar progress, no window handed files). With BUS the test runs on a
# session bus of its own (CF_TEST_BUS), which it finds in DBUS_SESSION_BUS_ADDRESS.
set(CF_NO_BUS "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/session_bus_socket"
    "DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/system_bus_socket")
# The tests' session bus: the tests' own configuration, with no service folders, so nothing
# installed on the machine (a notification daemon, a portal) is started on it. The desktop
# tests' on_desktop.sh starts it with the accessibility bus added (desktop_bus.conf).
set(CF_TEST_BUS dbus-run-session
    "--config-file=${CMAKE_SOURCE_DIR}/tests/support/test_bus.conf" --)

function(clipferry_add_test)
    cmake_parse_arguments(T "BUS" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test cf_test_support ${T_LIBS})
    if(T_BUS)
        add_test(NAME ${T_NAME} COMMAND ${CF_TEST_BUS} $<TARGET_FILE:${T_NAME}>)
    else()
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS "${T_LABEL}"
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CLIPFERRY_BUILD_DRIVE_C=${CF_DRIVE_C};${CF_NO_BUS}")
endfunction()
