// The problem list keeps the first hundred and counts the rest; values are quoted cut short.

#include "Problems.h"

#include <gtest/gtest.h>

namespace vastrel {

namespace {

struct Filling {
    int added;
    qsizetype listed;
    const char* more;
};

class ProblemListTest : public ::testing::TestWithParam<Filling> {};

TEST_P(ProblemListTest, KeepsTheFirstHundredAndCountsTheRest) {
    ProblemList problems;
    for (int line = 1; line <= GetParam().added; ++line)
        problems.append({line, 1, QStringLiteral("bad")});
    EXPECT_EQ(problems.count(), GetParam().added);
    EXPECT_EQ(problems.listed().size(), GetParam().listed);
    EXPECT_EQ(problems.more().english, QString::fromLatin1(GetParam().more));
    if (GetParam().added > 0) {
        EXPECT_EQ(problems.listed().back().line, GetParam().listed);
    }
    ProblemList twice = problems;
    twice += problems;
    EXPECT_EQ(twice.count(), 2 * GetParam().added);
}

INSTANTIATE_TEST_SUITE_P(Fillings, ProblemListTest,
                         ::testing::Values(Filling{0, 0, ""}, Filling{100, 100, ""},
                                           Filling{101, 100, "and 1 more"},
                                           Filling{250, 100, "and 150 more"}));

TEST(QuotedValueTest, CutsAfterSixtyCharactersWithoutSplittingACharacter) {
    const QString sixty(60, u'a');
    EXPECT_EQ(quotedValue("SBL1"), "\"SBL1\"");
    EXPECT_EQ(quotedValue(sixty), '"' + sixty + '"');
    EXPECT_EQ(quotedValue(sixty + 'b'), '"' + sixty + "...\"");
    const QString emoji = QString(59, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80") + 'b';
    EXPECT_EQ(quotedValue(emoji), '"' + QString(59, u'a') + "...\"");
}

} // namespace

} // namespace vastrel
