# SPDX-License-Identifier: GPL-3.0-or-later
# The installation runs: cmake --install into a temporary prefix, then the installed program and
# arrowsel-cli on a fresh per-user data folder.
if(TARGET arrowsel AND TARGET arrowsel-cli AND TARGET sampledata_folder)
    add_test(NAME install.tree_runs
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/install_tree_test.sh ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR})
    set_tests_properties(install.tree_runs PROPERTIES TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endif()
