#include "ContainerCheck.h"

#include <gtest/gtest.h>

#include <ostream>

using vastrel::CekContainer;

namespace {

struct CheckCase {
    const char* number;
    bool valid;
};

void PrintTo(const CheckCase& c, std::ostream* out) {
    *out << '"' << c.number << '"';
}

class CekContainerTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(CekContainerTest, JudgesTheCheckDigit) {
    EXPECT_EQ(CekContainer(QString::fromUtf8(GetParam().number)), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Iso6346, CekContainerTest,
    ::testing::Values(CheckCase{"ABCU1234560", true},  // sum 5478, remainder 0
                      CheckCase{"TGHU8765436", true},  // sum 4329, remainder 6
                      CheckCase{"TGHU8765437", false}, // wrong check digit
                      CheckCase{"ABCU0000070", true},  // remainder 10 counts as 0
                      CheckCase{"abcu1234560", true},  // lower case accepted
                      CheckCase{"CSQU3054383", true},  // sum 6185, remainder 3
                      // with the cases above, every letter's value counts once
                      CheckCase{"DEFJ3054386", true},   // sum 6012, remainder 6
                      CheckCase{"GHIZ2048178", true},   // sum 5585, remainder 8
                      CheckCase{"KLMU5531206", true},   // sum 1491, remainder 6
                      CheckCase{"NOPU7182649", true},   // sum 4937, remainder 9
                      CheckCase{"QRSU4609130", true},   // sum 3662, remainder 10
                      CheckCase{"TVWU1290455", true},   // sum 4735, remainder 5
                      CheckCase{"XYZU8876120", true},   // sum 3398, remainder 10
                      CheckCase{"ABCU1234560X0", true}, // first ten and the last character
                      CheckCase{"1BCU1234560", false},  // a leading digit counts as 0: sum 5468
                      CheckCase{"1BCU1234561", true},   // ... so remainder 1 is its check digit
                      CheckCase{"ABCU123456", false},   // ten characters: the check is the 6
                      CheckCase{"", false},             // too short to read
                      CheckCase{"ABCU1", false},        // too short to read
                      CheckCase{"ABCU12A4560", false},  // a letter in the serial number
                      CheckCase{"ABCU123456X", false},  // the check character is no digit
                      CheckCase{"ABCU12345\u00e90", false})); // no digit beyond ASCII

} // namespace
