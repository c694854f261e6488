# The generate screen and the printed manifest reports.
add_gui_test(generate_screen_test BOTH_ENGINES SOURCES FrmGenerateTest.cpp ReferenceTestSupport.h
    LIBS vastrel_output_gui vastrel_format)
target_compile_definitions(generate_screen_test PRIVATE
    # The screen is drawn here as PNG for a person to look at.
    VASTREL_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
add_gui_test(report_output_test BOTH_ENGINES SOURCES ReportOutputTest.cpp ReferenceTestSupport.h
    LIBS vastrel_output_gui vastrel_format)
target_compile_definitions(report_output_test PRIVATE
    VASTREL_ADMIN_BIN="$<TARGET_FILE:vastrel-admin>"
    # The first page of each report is drawn here as PNG for a person to look at.
    VASTREL_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
add_dependencies(report_output_test vastrel-admin)
