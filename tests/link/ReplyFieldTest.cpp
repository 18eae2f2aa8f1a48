#include "link/ReplyField.h"

#include <clocale>
#include <gtest/gtest.h>

namespace ombrix::link {
namespace {

TEST(ReplyFieldTest, ReadsNumbersThatEndAtACommaOrSemicolon) {
    EXPECT_EQ(ReplyField<std::int32_t>("#7,US,5;", "US", true), 5);
    EXPECT_EQ(ReplyField<std::uint32_t>("#1,U745A,N12345,S1;", "N"), 12345u);
    EXPECT_EQ(ReplyField<std::int32_t>("#7,US,-12;", "US", true), -12);
    EXPECT_EQ(ReplyField<std::int32_t>("#7,US, 7;", "US", true), 7); // white space skipped
    EXPECT_EQ(ReplyField<std::uint32_t>("#1,N42", "N"), 42u);        // no terminator at all
}

TEST(ReplyFieldTest, ANonNumericMatchGoesOnToTheNextOne) {
    EXPECT_EQ(ReplyField<std::uint32_t>("#1,NAME,N77;", "N"), 77u);
    EXPECT_EQ(ReplyField<std::int32_t>("#7,US,x,US,3;", "US", true), 3);
    EXPECT_FALSE(ReplyField<std::uint32_t>("#1,NX,NY;", "N").has_value());
}

TEST(ReplyFieldTest, AbsentOrUnreadableFieldsAreNotFound) {
    EXPECT_FALSE(ReplyField<std::int32_t>("#7,US;", "US", true).has_value());
    EXPECT_FALSE(ReplyField<std::uint32_t>("#1,U745;", "N").has_value());
    EXPECT_FALSE(ReplyField<std::uint32_t>("#1,N-5;", "N").has_value()); // no wrap-around
    EXPECT_FALSE(ReplyField<std::int32_t>("#7,US,99999999999;", "US", true).has_value());
    EXPECT_FALSE(ReplyField<std::uint32_t>("", "N").has_value());
}

TEST(ReplyFieldTest, StringsAreTheFirstWord) {
    EXPECT_EQ(ReplyField<std::string>("#1,U745A,N1;", "U"), "745A");
    EXPECT_EQ(ReplyField<std::string>("#1,U 302 B,N1;", "U"), "302");
    EXPECT_FALSE(ReplyField<std::string>("#1,U,N1;", "U").has_value());
}

TEST(ReplyFieldTest, NumbersIgnoreTheLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "German locale not installed";
    }
    EXPECT_EQ(ReplyField<std::uint32_t>("#1,N1.234,", "N"), 1u);
    EXPECT_EQ(ReplyField<std::int32_t>("#7,US,1234;", "US", true), 1234);
    std::setlocale(LC_ALL, "C");
}

} // namespace
} // namespace ombrix::link
