# SPDX-License-Identifier: GPL-3.0-or-later
# Interoperability of the .idx writer with an independent reader (Perl's XBase module,
# Debian package libdbd-xbase-perl, installed by scripts/setup).
add_executable(idx_interop_writer ${CMAKE_CURRENT_LIST_DIR}/idx_interop_writer.cpp)
target_link_libraries(idx_interop_writer PRIVATE data)
add_test(NAME idx_interop_perl
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_interop.sh $<TARGET_FILE:idx_interop_writer>
            ${CMAKE_CURRENT_BINARY_DIR}/idx_interop ${CMAKE_CURRENT_LIST_DIR})
set_tests_properties(idx_interop_perl PROPERTIES TIMEOUT 300)
