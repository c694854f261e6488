# The manifest entry screen (header and POS halves).
add_gui_test(entry_header_test BOTH_ENGINES SOURCES FrmHeaderTest.cpp LIBS vastrel_entry)
