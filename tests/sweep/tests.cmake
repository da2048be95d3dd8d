# SPDX-License-Identifier: GPL-3.0-or-later
# The recommendation of arrowsel-cli pinned over a sweep of setups on the sample data, and over
# data folders written by sweep_fixtures for what the sample data does not hold (GPI texts that
# are no numbers at every cell, two-model and carbon cells, missed seeks, nested runs).
if(TARGET arrowsel-cli AND TARGET sampledata_folder)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_executable(sweep_fixtures ${CMAKE_CURRENT_LIST_DIR}/sweep_fixtures.cpp)
    target_link_libraries(sweep_fixtures PRIVATE test_support engine data)
    add_test(NAME sweep.recommend
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/recommend_sweep.py $<TARGET_FILE:arrowsel-cli>
                     ${PROJECT_BINARY_DIR}/sampledata/data ${CMAKE_CURRENT_LIST_DIR}/recommend.expected
                     --fixtures $<TARGET_FILE:sweep_fixtures> ${CMAKE_CURRENT_BINARY_DIR}/sweep_fixture_folders)
    # Thousands of runs of the CLI: under the sanitizers each takes several times as long.
    if(ARROWSEL_SANITIZE)
        set_tests_properties(sweep.recommend PROPERTIES TIMEOUT 1800)
    else()
        set_tests_properties(sweep.recommend PROPERTIES TIMEOUT 600)
    endif()
endif()
