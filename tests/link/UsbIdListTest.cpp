#include "link/UsbIdList.h"

#include "link/LibusbBackend.h"

#include <gtest/gtest.h>
#include <sstream>

namespace ombrix::link {
namespace {

TEST(UsbIdListTest, ReadsHexadecimalPairs) {
    const auto list = ParseUsbIds(" 1a2B:0001 ,FFFF:ffff,,0:1");
    EXPECT_EQ(list.ids, (std::vector<UsbId>{{0x1A2B, 0x0001}, {0xFFFF, 0xFFFF}, {0, 1}}));
    EXPECT_TRUE(list.rejected.empty());
}

TEST(UsbIdListTest, RejectsWhatIsNotAPair) {
    const auto list = ParseUsbIds("1234,12345:1,g000:1,1:,:1,12:34:56,0x12:1");
    EXPECT_TRUE(list.ids.empty());
    EXPECT_EQ(list.rejected.size(), 7u);
    EXPECT_TRUE(ParseUsbIds("").ids.empty());
}

TEST(UsbIdListTest, TextRoundTripsAndTheEnvironmentOnlyAdds) {
    const std::vector<UsbId> chosen{{0x1A2B, 0x0001}, {0xDEAD, 0xBEEF}};
    EXPECT_EQ(FormatUsbIds(chosen), "1a2b:0001,dead:beef");
    EXPECT_EQ(ParseUsbIds(FormatUsbIds(chosen)).ids, chosen);
    EXPECT_EQ(MergeUsbIds(chosen, {{0xDEAD, 0xBEEF}, {0, 1}}),
              (std::vector<UsbId>{{0x1A2B, 0x0001}, {0xDEAD, 0xBEEF}, {0, 1}}));
    std::ostringstream warnings;
    EXPECT_EQ(UsbIdsFromText("1a2b:0001,oops", "the usb_ids setting", "ombrix", warnings),
              (std::vector<UsbId>{{0x1A2B, 0x0001}}));
    EXPECT_EQ(warnings.str(), "ombrix: ignoring the usb_ids setting entry 'oops' (expected "
                              "vvvv:pppp in hexadecimal)\n");
}

TEST(UsbIdListTest, PathsNameBusAndPortChain) {
    EXPECT_EQ(UsbDevicePath(1, {4, 2}), "usb:1-4.2");
    EXPECT_EQ(UsbDevicePath(3, {7}), "usb:3-7");
    EXPECT_EQ(UsbDevicePath(2, {}), "usb:2-0");
}

// An empty list matches nothing; without a USB stack in the sandbox the
// listing of another may fail. Either way no path, and nothing opens.
TEST(LibusbBackendTest, OnlyListedPairsAreEverOpened) {
    for (const std::vector<UsbId>& ids : {std::vector<UsbId>{}, {{0xFFFE, 0xFFFD}}}) {
        LibusbBackend backend(ids);
        const auto paths = backend.listDevicePaths();
        EXPECT_TRUE(ids.empty() ? paths && paths->empty() : !paths || paths->empty());
        EXPECT_EQ(backend.open("usb:1-1"), nullptr);
        EXPECT_EQ(backend.open("sock:/tmp/x.sock"), nullptr);
    }
}

} // namespace
} // namespace ombrix::link
