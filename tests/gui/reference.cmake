# The lookup dialog and the reference screens.
set(VASTREL_REFERENCE_TEST_SUPPORT ReferenceTestSupport.h)

add_gui_test(reference_find_test BOTH_ENGINES SOURCES FrmFindTest.cpp ${VASTREL_REFERENCE_TEST_SUPPORT}
    LIBS vastrel_reference)
# The test draws the dialog into this folder for a person to look at.
target_compile_definitions(reference_find_test PRIVATE
    VASTREL_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
add_gui_test(reference_kapal_test BOTH_ENGINES SOURCES FrmKapalTest.cpp ${VASTREL_REFERENCE_TEST_SUPPORT}
    LIBS vastrel_reference)
add_gui_test(reference_parties_test BOTH_ENGINES SOURCES FrmPartiesTest.cpp ${VASTREL_REFERENCE_TEST_SUPPORT}
    LIBS vastrel_reference)
add_gui_test(reference_profile_test BOTH_ENGINES SOURCES FrmProfileTest.cpp ${VASTREL_REFERENCE_TEST_SUPPORT}
    LIBS vastrel_reference)

add_executable(rowsetmodel_test RowSetModelTest.cpp)
target_link_libraries(rowsetmodel_test PRIVATE vastrel_ui GTest::gtest_main vastrel_warnings)
gtest_discover_tests(rowsetmodel_test DISCOVERY_MODE PRE_TEST)
