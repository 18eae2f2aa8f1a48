#include "cli/CliCommand.h"
#include "link/ScriptedBackend.h"

#include <gtest/gtest.h>
#include <sstream>

namespace ombrix::cli {
namespace {

class CliTest : public ::testing::Test {
protected:
    link::ManualClock clock;
    link::ScriptedBackend backend{clock};
    std::ostringstream out;
    std::ostringstream err;
    CliContext context{backend, clock, out, err};

    int run(std::vector<std::string> arguments) { return RunCli(arguments, context); }

    void addInstrument(const std::string& path, const std::string& identification,
                       const std::string& us) {
        link::ScriptedDevice& device = backend.addDevice(path);
        device.answer(";#1,U?,N?;", identification);
        device.answer(";#7,US;", us);
    }
};

TEST_F(CliTest, DevicesListsInstrumentsAscendingBySerial) {
    addInstrument("sock:/z", "#1,U758,N900;", "#7,US,0;");
    addInstrument("sock:/y", "#1,U745A,N12;", "#7,US,3;");
    addInstrument("sock:/x", "#1,U302B,N77;", "#7;");
    EXPECT_EQ(run({"devices"}), 0);
    EXPECT_EQ(out.str(), "12\t745\t1\t3\tsock:/y\n"
                         "77\t302\t2\t0\tsock:/x\n"
                         "900\t758\t0\t0\tsock:/z\n");
    EXPECT_TRUE(err.str().empty());
}

TEST_F(CliTest, DevicesWithNoInstrumentFails) {
    addInstrument("sock:/bad", "nonsense;", "#7,US,0;");
    EXPECT_EQ(run({"devices"}), 1);
    EXPECT_TRUE(out.str().empty());
}

TEST_F(CliTest, HelpExplainsEveryCommand) {
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(out.str().find("ombrix-cli devices"), std::string::npos);
    EXPECT_NE(out.str().find("Exit status"), std::string::npos);
}

TEST_F(CliTest, BadCommandLinesAreUsageErrors) {
    EXPECT_EQ(run({}), kUsageError);
    EXPECT_EQ(run({"frobnicate"}), kUsageError);
    EXPECT_NE(err.str().find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_EQ(run({"devices", "--serial"}), kUsageError);
    EXPECT_TRUE(out.str().empty());
}

} // namespace
} // namespace ombrix::cli
