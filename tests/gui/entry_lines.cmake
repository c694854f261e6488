# The goods, container and document screens of a POS, and the container number check.
add_executable(container_check_test ContainerCheckTest.cpp)
target_link_libraries(container_check_test PRIVATE vastrel_entry GTest::gtest_main vastrel_warnings)
gtest_discover_tests(container_check_test DISCOVERY_MODE PRE_TEST)

set(POS_LINE_FIXTURE PosLineFixture.cpp PosLineFixture.h)
add_gui_test(goods_screen_test BOTH_ENGINES SOURCES GoodsScreenTest.cpp ${POS_LINE_FIXTURE} LIBS vastrel_entry)
add_gui_test(container_screen_test BOTH_ENGINES SOURCES ContainerScreenTest.cpp ${POS_LINE_FIXTURE}
    LIBS vastrel_entry)
add_gui_test(document_screen_test BOTH_ENGINES SOURCES DocumentScreenTest.cpp ${POS_LINE_FIXTURE}
    LIBS vastrel_entry)
# The keys of those screens under a real X server.
add_gui_test(desktop_dialog_keys_test DESKTOP SOURCES DesktopDialogKeysTest.cpp ${POS_LINE_FIXTURE}
    LIBS vastrel_entry)
