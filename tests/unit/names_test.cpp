#include <gtest/gtest.h>

#include "core/names.h"
#include "platform/cp1252.h"

namespace rw {

TEST(Names, ClassBaseNameUpperCasesFirstThenRemovesPunctuation) {
    EXPECT_EQ(classBaseName("my table#1"), "Mytable1");
    EXPECT_EQ(classBaseName(" a"), "a");  // the removed space was the upper-cased character
    EXPECT_EQ(classBaseName("a b"), classBaseName("ab"));
    EXPECT_EQ(classBaseName("Order~Details?"), "OrderDetails");
    EXPECT_EQ(classBaseName("#orders"), "orders");
    EXPECT_EQ(classBaseName("Unit-Price"), "Unit-Price");
}

TEST(Names, PropertyNameReplacesSpacesOnly) {
    EXPECT_EQ(propertyName("order date"), "Order_date");
    EXPECT_EQ(propertyName("id"), "Id");
    EXPECT_EQ(propertyName("1st"), "1st");
    EXPECT_EQ(propertyName("Unit-Price"), "Unit-Price");
    EXPECT_EQ(propertyName("First Name"), "First_Name");
}

TEST(Names, UpperFirstStaysWithinWindows1252) {
    EXPECT_EQ(upperFirst("\u00e9t\u00e9"), "\u00c9t\u00e9");  // é -> É
    EXPECT_EQ(upperFirst("\u00df"), "\u00df");                // ß stays
    EXPECT_EQ(upperFirst("\u00b5"), "\u00b5");                // µ stays
    EXPECT_EQ(upperFirst("\u0161a"), "\u0160a");              // š -> Š
    EXPECT_EQ(upperFirst("\u00ff"), "\u0178");                // ÿ -> Ÿ
    EXPECT_EQ(upperFirst("\u03b1"), "\u03b1");                // α has no Windows-1252 form
    EXPECT_EQ(upperFirst(""), "");
}

TEST(Names, BracketsOnlyNamesWithSpaces) {
    EXPECT_EQ(bracketedFieldName("Unit Price"), "[Unit Price]");
    EXPECT_EQ(bracketedFieldName("UnitPrice"), "UnitPrice");
}

TEST(Cp1252, RoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(all)), all);
}

TEST(Cp1252, UnmappableAndInvalidBecomeQuestionMarks) {
    EXPECT_EQ(cp1252::fromUtf8("\u00a9 \u20ac"), "\xA9 \x80");
    EXPECT_EQ(cp1252::fromUtf8("a\u4e2db"), "a?b");
    EXPECT_EQ(cp1252::fromUtf8("a\xFF" "b"), "a?b");
    EXPECT_EQ(cp1252::fromUtf8("\xF0\x9F\x98\x80"), "?");
}

}  // namespace rw
