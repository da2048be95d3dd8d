# SPDX-License-Identifier: GPL-3.0-or-later
# Interoperability of the table engine with independent xBase tools (Debian's python3-dbf and
# python3-dbfread), driven through dbf_tool. /usr/bin/python3 on purpose: the python3 on PATH may
# be another build without Debian's modules.
if(NOT TARGET dbf_tool)
    add_executable(dbf_tool ${CMAKE_CURRENT_LIST_DIR}/dbf_tool.cpp)
    target_link_libraries(dbf_tool PRIVATE data)
endif()

foreach(script engine_to_python python_to_engine)
    add_test(NAME interop_dbf_${script}
             COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/${script}.py $<TARGET_FILE:dbf_tool>)
    set_tests_properties(interop_dbf_${script} PROPERTIES TIMEOUT 120 LABELS interop)
endforeach()
