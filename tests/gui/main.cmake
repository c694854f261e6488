add_gui_test(main_window_test BOTH_ENGINES SOURCES MainWindowTest.cpp LIBS vastrel_main vastrel_format)
# The keyboard under a real X server, where text boxes claim editing keys first.
add_gui_test(desktop_keys_test DESKTOP SOURCES DesktopKeysTest.cpp LIBS vastrel_main vastrel_format)
