# SPDX-License-Identifier: GPL-3.0-or-later
# The window picture tool scripts/grab-windows runs: not a test, but it drives the windows the way
# the tests do (through the recording message seam) so that nothing waits on a click.
if(TARGET app_lib)
    add_executable(arrowsel-grab-windows ${CMAKE_CURRENT_LIST_DIR}/grab_windows.cpp)
    target_link_libraries(arrowsel-grab-windows PRIVATE app_lib recording_seam)
endif()
