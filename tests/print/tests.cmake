# SPDX-License-Identifier: GPL-3.0-or-later
# The hunting report on a real default printer (CUPS with its PDF printer; see scripts/setup-cups).
# Each reads the page's English texts, so it runs in English whatever the machine's language.
if(TARGET arrowsel-cli AND TARGET reports AND TARGET sampledata_folder)
    add_test(NAME print.cups_hunting_report
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/cups_print_test.sh $<TARGET_FILE:arrowsel-cli>
                     ${PROJECT_BINARY_DIR}/sampledata/data)
    set_tests_properties(print.cups_hunting_report PROPERTIES
        SKIP_RETURN_CODE 77 TIMEOUT 90 ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANGUAGE=")
endif()
if(TARGET arrowsel-cli AND TARGET reports AND TARGET sampledata_folder)
    add_test(NAME print.cli_report_pdf
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/cli_report_pdf_test.sh $<TARGET_FILE:arrowsel-cli>
                     ${PROJECT_BINARY_DIR}/sampledata/data)
    set_tests_properties(print.cli_report_pdf PROPERTIES
        SKIP_RETURN_CODE 77 TIMEOUT 60 ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANGUAGE=")
    add_test(NAME print.cli_build_sheet
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/cli_build_sheet_test.sh $<TARGET_FILE:arrowsel-cli>
                     ${PROJECT_BINARY_DIR}/sampledata/data)
    set_tests_properties(print.cli_build_sheet PROPERTIES
        SKIP_RETURN_CODE 77 TIMEOUT 60 ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANGUAGE=")
endif()
