# quorvane_add_test(<name> SOURCES <files...> [LIBS <targets...>] [GUI])
# Every test executable is registered through here so that each GoogleTest case
# becomes its own ctest entry; GUI tests run on Qt's offscreen platform.
function(quorvane_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        QUORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        QUORVANE_BINARY_DIR="${PROJECT_BINARY_DIR}")
    set(env "")
    if(ARG_GUI)
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
        target_sources(${name} PRIVATE
            ${PROJECT_SOURCE_DIR}/tests/sanitizers/lsan_default_suppressions.cpp)
        set(env "QT_QPA_PLATFORM=offscreen")
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
