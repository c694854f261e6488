#include "RowSetModel.h"

#include <gtest/gtest.h>

using namespace vastrel;

namespace {

RowSet rows(const QStringList& columns, std::vector<QVariantList> values) {
    return RowSet(columns, std::move(values));
}

} // namespace

TEST(RowSetModel, ShowsValuesAsTheResultListsDo) {
    RowSetModel model;
    model.setRows(
        rows({"nopos", "tglbl", "snm", "bruto"}, {{" 0001 ", "2007-05-30", "  ACME  ", 12.5},
                                                  {QVariant(), QVariant(), QVariant(), 3LL}}));
    // The first column is shown untrimmed, the others trimmed; dates as dd-mm-yyyy.
    EXPECT_EQ(model.text(0, 0), " 0001 ");
    EXPECT_EQ(model.text(0, 1), "30-05-2007");
    EXPECT_EQ(model.text(0, 2), "ACME");
    EXPECT_EQ(model.text(0, 3), "12.5");
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(model.text(1, column), "") << column;
    EXPECT_EQ(model.data(model.index(1, 3)).toString(), "3");
    EXPECT_EQ(model.values(0).at(2), "  ACME  ");
}

TEST(RowSetModel, CaptionsDecideTheColumnsAndFormattersTheirText) {
    RowSetModel model;
    model.setColumns({{"ID", 500}, {"Tipe", 1500}});
    model.setFormatter(1, [](const QVariant& v) { return v.toString() == "1" ? "Shipper" : ""; });
    model.setRows(rows({"idparties", "KodeParties", "extra"}, {{7LL, "1", "x"}, {8LL, "9", "y"}}));
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Tipe");
    EXPECT_EQ(model.text(0, 1), "Shipper");
    EXPECT_EQ(model.text(1, 1), "");
    EXPECT_EQ(model.text(5, 0), "") << "a row outside the list has no text";
}

TEST(RowSetModel, ClearEmptiesTheList) {
    RowSetModel model;
    model.setRows(rows({"a"}, {{"x"}}));
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
}
