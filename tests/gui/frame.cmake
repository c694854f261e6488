add_gui_test(frame_test SOURCES FrameTest.cpp LIBS vastrel_frame vastrel_format)
