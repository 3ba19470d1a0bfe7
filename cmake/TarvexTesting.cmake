# tarvex_add_test(NAME name SOURCES ... [LIBS ...] [TIMEOUT s] [LABELS ...])
# Builds a QtTest executable and registers it with ctest. Every test runs on the
# offscreen platform; the test support library gives each one its own folders.
function(tarvex_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE tarvex_testsupport Qt6::Test ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARVEX_BINARY_DIR=${CMAKE_BINARY_DIR};TARVEX_SOURCE_DIR=${CMAKE_SOURCE_DIR};LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0"
        LABELS "${T_LABELS}")
endfunction()
