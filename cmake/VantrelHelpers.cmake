# Shared helpers for the test and benchmark folders.

set(VANTREL_TEST_BIN_DIR ${CMAKE_BINARY_DIR}/tests-bin)
set(VANTREL_SHARED_DIR ${CMAKE_SOURCE_DIR}/../shared CACHE PATH
    "Folder with shared reference material (rtf-samples); tests skip what is missing")

# vantrel_add_test(<name> SOURCES <files...> LIBS <targets...> [TIMEOUT <seconds>])
# Builds a QtTest executable and registers it with CTest. Tests run headless.
function(vantrel_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    qt_add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VANTREL_TEST_BIN_DIR})
    target_link_libraries(${name} PRIVATE Qt::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        VANTREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        VANTREL_SHARED_DIR="${VANTREL_SHARED_DIR}"
        VANTREL_PROGRAM_DIR="${VANTREL_PROGRAM_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# vantrel_add_bench(<name> SOURCES <files...> LIBS <targets...>)
# Builds a benchmark executable and hooks it to the `bench` target, which runs them all.
function(vantrel_add_bench name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    qt_add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench-bin)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE VANTREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        VANTREL_SHARED_DIR="${VANTREL_SHARED_DIR}" VANTREL_PROGRAM_DIR="${VANTREL_PROGRAM_DIR}")
    add_custom_target(run-${name}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:${name}>
        DEPENDS ${name} USES_TERMINAL)
    if(NOT TARGET bench)
        add_custom_target(bench)
    endif()
    add_dependencies(bench run-${name})
endfunction()

# Adds every direct subfolder of the current folder that has a CMakeLists.txt, so that
# a new test, tool or benchmark folder needs no edit of a shared file.
function(vantrel_add_subfolders)
    file(GLOB children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT children)
    foreach(child ${children})
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
                AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()
