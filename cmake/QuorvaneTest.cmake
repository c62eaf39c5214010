# quorvane_add_test(<name> SOURCES <files...> [LIBS <targets...>] [GUI])
# Every test executable is registered through here so that each GoogleTest case
# becomes its own ctest entry; GUI tests run on Qt's offscreen platform.
function(quorvane_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    quorvane_test_settings(${name} PRIVATE)
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

# quorvane_add_test_library(<name> SOURCES <files...> [LIBS <targets...>])
# Support code that several tests share (the window fixture, the fuzzers' checks),
# compiled once and linked by each test that needs it.
function(quorvane_add_test_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS} GTest::gtest)
    quorvane_test_settings(${name} PUBLIC)
endfunction()

# What every test source sees: the tests/ include root and where the tree is.
function(quorvane_test_settings target scope)
    target_include_directories(${target} ${scope} ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${target} ${scope}
        QUORVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        QUORVANE_BINARY_DIR="${PROJECT_BINARY_DIR}")
endfunction()
