# SPDX-License-Identifier: GPL-3.0-or-later
# The user's guide's chapter on a shared customer book, followed step by step on a PostgreSQL
# cluster made as Debian makes its own (pg_createcluster), reached over the network through TLS.
if(TARGET arrowsel-cli AND TARGET sampledata_folder)
    add_test(NAME guide.shared_book_server
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/server_guide_test.sh $<TARGET_FILE:arrowsel-cli>
                     ${PROJECT_BINARY_DIR}/sampledata/data ${PROJECT_SOURCE_DIR}/docs/guide.md)
    set_tests_properties(guide.shared_book_server PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
