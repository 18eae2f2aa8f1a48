#include "model/ComputerKeys.h"

#include <QtCore/qnamespace.h>
#include <gtest/gtest.h>

namespace ombrix::model {
namespace {

TEST(ComputerKeysTest, KeysWhoseNumbersEqualAnInstrumentCodePressNothing) {
    for (const std::uint32_t virtualKey : {0x49u, 0x61u, 0x62u, 0x65u, 0x69u, 0x41u}) {
        EXPECT_FALSE(instrumentCodeForComputerKey(virtualKey).has_value()) << virtualKey;
    }
}

TEST(ComputerKeysTest, QtKeysMapToWindowsVirtualKeys) {
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Return), 0x0Du);
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Enter), 0x0Du);
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Escape), 0x1Bu);
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Down), 0x28u);
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Shift), 0x10u);
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Alt), 0x12u);
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_A), 0x41u);
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_9), 0x39u);
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_F1), 0x70u);
    EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_F24), 0x87u);
    EXPECT_FALSE(virtualKeyFromQtKey(Qt::Key_F25).has_value());
    EXPECT_EQ(instrumentCodeForComputerKey(*virtualKeyFromQtKey(Qt::Key_Left)), 0x65u);
}

} // namespace
} // namespace ombrix::model
