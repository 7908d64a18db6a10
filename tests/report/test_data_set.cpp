#include "report/data_set.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

report::MemoryDataSet threeCities()
{
    return report::MemoryDataSet({"City", "Sales"}, {{"Oslo", "10"}, {"Rome", "20"}, {"Lima", "30"}});
}

TEST(MemoryDataSet, CursorFlagsAtBothEnds)
{
    auto ds = threeCities();
    ds.first();
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(ds.fieldText("city"), "Oslo") << "field names ignore case";
    ds.next();
    ds.next();
    EXPECT_FALSE(ds.bof());
    EXPECT_FALSE(ds.eof());
    ds.next();
    EXPECT_TRUE(ds.eof());
    EXPECT_EQ(ds.fieldText("Sales"), "30") << "eof keeps the last record current";

    // Group footers step back one record, then forward once, and once more
    // when the table had been at its end: that must restore the end.
    ds.prior();
    EXPECT_FALSE(ds.eof());
    EXPECT_EQ(ds.fieldText("City"), "Rome");
    ds.next();
    ds.next();
    EXPECT_TRUE(ds.eof());

    ds.first();
    ds.next();
    ds.prior();
    EXPECT_FALSE(ds.bof());
    ds.prior();
    EXPECT_TRUE(ds.bof());
    EXPECT_EQ(ds.recordIndex(), 0);
}

TEST(MemoryDataSet, BadFieldNamesAndRaggedRowsAreClearErrors)
{
    auto ds = threeCities();
    EXPECT_EQ(testsupport::errorOf([&] { (void)ds.fieldText("Country"); }), "Field 'Country' not found");
    EXPECT_THROW(ds.appendRow({"Bern"}), std::runtime_error);
    EXPECT_EQ(ds.recordCount(), 3) << "a rejected row is not half-added";
}

} // namespace
