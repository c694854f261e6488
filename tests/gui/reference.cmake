# The lookup dialog and the reference screens.
set(VASTREL_REFERENCE_TEST_SUPPORT ReferenceTestSupport.h)

add_gui_test(reference_find_test SOURCES FrmFindTest.cpp ${VASTREL_REFERENCE_TEST_SUPPORT}
    LIBS vastrel_reference)
# The test draws the dialog into this folder for a person to look at.
target_compile_definitions(reference_find_test PRIVATE
    VASTREL_SCREENSHOT_DIR="${CMAKE_CURRENT_BINARY_DIR}")
add_gui_test(reference_kapal_test SOURCES FrmKapalTest.cpp ${VASTREL_REFERENCE_TEST_SUPPORT}
    LIBS vastrel_reference)
add_gui_test(reference_parties_test SOURCES FrmPartiesTest.cpp ${VASTREL_REFERENCE_TEST_SUPPORT}
    LIBS vastrel_reference)
add_gui_test(reference_profile_test SOURCES FrmProfileTest.cpp ${VASTREL_REFERENCE_TEST_SUPPORT}
    LIBS vastrel_reference)

add_executable(rowsetmodel_test RowSetModelTest.cpp)
target_link_libraries(rowsetmodel_test PRIVATE vastrel_widgets GTest::gtest_main vastrel_warnings)
gtest_discover_tests(rowsetmodel_test DISCOVERY_MODE PRE_TEST)

# Times an empty search over 20,000 HS codes; run by hand, not part of the test suite.
add_executable(bench_lookup LookupBench.cpp ReferenceTestSupport.h)
target_include_directories(bench_lookup PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(bench_lookup PRIVATE vastrel_reference Qt6::Test vastrel_warnings)
