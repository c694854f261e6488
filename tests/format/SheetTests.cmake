# Spreadsheets in and out: the import workbook and the workbook reader.
pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
add_executable(sheet_tests
    ${CMAKE_CURRENT_LIST_DIR}/SheetReaderTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SheetTemplateTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WorstCaseTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/TestSupport.cpp ${CMAKE_SOURCE_DIR}/tests/TestSupport.h
)
target_include_directories(sheet_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(sheet_tests PRIVATE
    vastrel_format PkgConfig::XLSXWRITER PkgConfig::LIBZIP GTest::gtest_main vastrel_warnings)
target_compile_definitions(sheet_tests PRIVATE
    VASTREL_ADMIN_BIN="$<TARGET_FILE:vastrel-admin>")
add_dependencies(sheet_tests vastrel-admin)
gtest_discover_tests(sheet_tests DISCOVERY_MODE PRE_TEST)
