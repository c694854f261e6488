add_gui_test(frame_test BOTH_ENGINES SOURCES FrameTest.cpp LIBS vastrel_frame vastrel_format)
