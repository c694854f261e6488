# The manifest entry screen (header and POS halves).
add_gui_test(entry_header_test SOURCES FrmHeaderTest.cpp LIBS vastrel_entry)

# Times opening a manifest of many POS on the entry screen; run by hand, not part of the tests.
add_executable(bench_entry EntryHeaderBench.cpp)
target_link_libraries(bench_entry PRIVATE vastrel_entry vastrel_warnings)
