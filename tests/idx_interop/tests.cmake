# SPDX-License-Identifier: GPL-3.0-or-later
# Interoperability of the .idx writer with an independent reader (Perl's XBase module,
# Debian package libdbd-xbase-perl, installed by scripts/setup).
add_executable(idx_interop_writer ${CMAKE_CURRENT_LIST_DIR}/idx_interop_writer.cpp)
target_link_libraries(idx_interop_writer PRIVATE data)
add_test(NAME idx_interop_perl
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_interop.sh $<TARGET_FILE:idx_interop_writer>
            ${CMAKE_CURRENT_BINARY_DIR}/idx_interop ${CMAKE_CURRENT_LIST_DIR})
set_tests_properties(idx_interop_perl PROPERTIES TIMEOUT 300)

# The customer book grown by saves, read by Debian's Python xBase readers (python3-dbfread,
# python3-dbf) beside the same book reindexed by arrowsel-cli. Those packages install for Debian's
# own interpreter, which a Python found first on PATH may not be.
if(TARGET arrowsel-cli)
    add_executable(book_saves_writer ${CMAKE_CURRENT_LIST_DIR}/book_saves_writer.cpp)
    target_link_libraries(book_saves_writer PRIVATE records_core)
    find_program(ARROWSEL_DEBIAN_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH)
    if(NOT ARROWSEL_DEBIAN_PYTHON3)
        find_package(Python3 REQUIRED COMPONENTS Interpreter)
        set(ARROWSEL_DEBIAN_PYTHON3 ${Python3_EXECUTABLE})
    endif()
    add_test(NAME idx_interop_python
        COMMAND ${ARROWSEL_DEBIAN_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/book_readers.py
                $<TARGET_FILE:book_saves_writer> $<TARGET_FILE:arrowsel-cli>
                ${CMAKE_CURRENT_BINARY_DIR}/book_readers ${CMAKE_CURRENT_LIST_DIR}/cidx_dump.pl)
    set_tests_properties(idx_interop_python PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
endif()
