# The fuzz targets' checks, one list for the fuzz build (fuzz/CMakeLists.txt) and
# for the replay test of the main build (tests/hardening).
set(QUORVANE_FUZZ_CHECKS
    ${CMAKE_CURRENT_LIST_DIR}/record_analysis_check.cpp
    ${CMAKE_CURRENT_LIST_DIR}/profile_round_trip_check.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_load_check.cpp
    ${CMAKE_CURRENT_LIST_DIR}/suspects_check.cpp)
# Needs Qt 6 Core: the text codec is Qt's.
set(QUORVANE_FUZZ_TEXT_CODEC_CHECK ${CMAKE_CURRENT_LIST_DIR}/text_codec_check.cpp)
