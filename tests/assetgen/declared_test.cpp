// The generator's hold on the bitmap table: every disagreement is named.
#include <gtest/gtest.h>

#include "tools/assetgen/declared.h"

namespace {

TEST(DeclaredBitmaps, EveryRecipeThatLeavesTheTableIsNamed)
{
    const DeclaredBitmap table[] = {{40, 5, 5}, {50, 150, 25}, {60, 19, 19}};
    const DeclaredBitmap drawn[] = {{40, 5, 5}, {50, 150, 26}, {70, 12, 12}};
    EXPECT_TRUE(assetgen::tableMismatches(table, table).empty());
    EXPECT_EQ(assetgen::tableMismatches(drawn, table),
              (std::vector<std::string>{"bitmap 50 is drawn 150x26 but declared 150x25",
                                        "bitmap 70 has a recipe but is not in the table",
                                        "bitmap 60 is declared but has no recipe"}));
}

}  // namespace
