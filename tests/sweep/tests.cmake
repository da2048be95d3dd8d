# SPDX-License-Identifier: GPL-3.0-or-later
# The recommendation of arrowsel-cli pinned over a sweep of setups on the sample data.
if(TARGET arrowsel-cli AND TARGET sampledata_folder)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_test(NAME sweep.recommend
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/recommend_sweep.py $<TARGET_FILE:arrowsel-cli>
                     ${PROJECT_BINARY_DIR}/sampledata/data ${CMAKE_CURRENT_LIST_DIR}/recommend.expected)
    set_tests_properties(sweep.recommend PROPERTIES TIMEOUT 600)
endif()
