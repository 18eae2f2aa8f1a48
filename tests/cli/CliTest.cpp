#include "cli/CliCommand.h"
#include "doubles/ScriptedBackend.h"
#include "session/ProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
};

TEST_F(CliTest, DevicesWithNoInstrumentFailsSayingWhy) {
    backend.addDevice("sock:/bad").answer(link::kShortIdentification, "nonsense;");
    EXPECT_EQ(run({"devices"}), 1);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("sock:/bad answered with no identification"), std::string::npos)
        << err.str();
}

TEST_F(CliTest, DevicesSaysWhenTheDeviceDirectoryCannotBeSearched) {
    QTemporaryDir scratch;
    const std::filesystem::path root = scratch.path().toStdString();
    QFile(scratch.filePath("plain")).open(QIODevice::WriteOnly);
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {root / "missing", "does not exist"},
        {root / "plain", "is not a directory"},
        {root, "no instrument socket in " + root.string()}};
    for (const auto& [directory, reason] : cases) {
        err.str({});
        context.deviceDirectory = directory;
        EXPECT_EQ(run({"devices"}), 1);
        EXPECT_NE(err.str().find(reason), std::string::npos) << err.str();
    }
}

TEST_F(CliTest, HelpExplainsEveryCommand) {
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(out.str().find("ombrix-cli devices"), std::string::npos);
    EXPECT_NE(out.str().find("ombrix-cli identify [--serial N]"), std::string::npos);
    EXPECT_NE(out.str().find("Exit status"), std::string::npos);
}

TEST_F(CliTest, BadCommandLinesAreUsageErrors) {
    EXPECT_EQ(run({}), kUsageError);
    EXPECT_EQ(run({"frobnicate"}), kUsageError);
    EXPECT_NE(err.str().find("unknown command 'frobnicate'"), std::string::npos);
    EXPECT_EQ(run({"devices", "--serial"}), kUsageError);
    EXPECT_EQ(run({"capture"}), kUsageError);
    EXPECT_EQ(run({"capture", "-o"}), kUsageError);
    EXPECT_EQ(run({"capture", "-o", "x.png", "--timeout", "0"}), kUsageError);
    EXPECT_EQ(run({"capture", "-o", "x.png", "--timeout", "1.5"}), kUsageError);
    EXPECT_EQ(run({"capture", "-o", "x.png", "--serial", "-3"}), kUsageError);
    EXPECT_EQ(run({"record"}), kUsageError);
    EXPECT_EQ(run({"record", "-o", "demo.mp4"}), kUsageError);
    EXPECT_EQ(run({"record", "-o", "demo.webm", "--zoom", "5"}), kUsageError);
    EXPECT_EQ(run({"record", "-o", "demo.gif", "--duration", "0"}), kUsageError);
    EXPECT_EQ(run({"press"}), kUsageError);
    EXPECT_EQ(run({"press", "0x00"}), kUsageError);
    EXPECT_EQ(run({"press", "0xZZ"}), kUsageError);
    EXPECT_EQ(run({"press", "--bogus", "MENU"}), kUsageError);
    EXPECT_EQ(run({"replay"}), kUsageError);
    EXPECT_EQ(run({"replay", "a.txt", "b.txt"}), kUsageError);
    EXPECT_EQ(run({"replay", "a.txt", "--pause"}), kUsageError);
    EXPECT_EQ(run({"replay", "a.txt", "--pause", "60001"}), kUsageError);
    EXPECT_EQ(run({"replay", "a.txt", "--pause", "-1"}), kUsageError);
    for (const char* serial : {"12x", "-5", "", "99999999999"}) {
        EXPECT_EQ(run({"identify", "--serial", serial}), kUsageError) << serial;
    }
    EXPECT_EQ(run({"identify", "--serial"}), kUsageError);
    EXPECT_NE(err.str().find("--serial needs a decimal serial number"), std::string::npos);
    EXPECT_EQ(run({"identify", "extra"}), kUsageError);
    EXPECT_NE(err.str().find("unknown argument 'extra'"), std::string::npos);
    EXPECT_TRUE(out.str().empty());
}

TEST_F(CliTest, UdevRulesGrantTheSeatUserEachPairOnce) {
    EXPECT_EQ(run({"udev-rules", "1A2B:0001", "dead:BEEF", "1a2b:0001"}), 0);
    std::istringstream lines(out.str());
    std::vector<std::string> rules;
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("#")) {
            rules.push_back(line);
        }
    }
    EXPECT_EQ(rules, (std::vector<std::string>{
                         "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", "
                         "ATTR{idVendor}==\"1a2b\", ATTR{idProduct}==\"0001\", TAG+=\"uaccess\"",
                         "SUBSYSTEM==\"usb\", ENV{DEVTYPE}==\"usb_device\", "
                         "ATTR{idVendor}==\"dead\", ATTR{idProduct}==\"beef\", TAG+=\"uaccess\""}));
    EXPECT_NE(out.str().find("70-ombrix.rules"), std::string::npos);

    for (const char* bad : {"1a2b", "1a2b:00001", "1a2b:0001,dead:beef", "xyz:0001", ""}) {
        out.str({});
        EXPECT_EQ(run({"udev-rules", bad}), kUsageError) << bad;
        EXPECT_TRUE(out.str().empty()) << bad;
    }
    EXPECT_EQ(run({"udev-rules"}), kUsageError);
}

// Points the program directory at a private folder for the life of a test.
class ModelDirectory {
public:
    ModelDirectory() : previous_(qgetenv(session::kModelDirVariable)) {
        qputenv(session::kModelDirVariable, directory_.path().toLocal8Bit());
        QDir(directory_.path()).mkpath(session::kDataFolder);
    }
    ~ModelDirectory() { qputenv(session::kModelDirVariable, previous_); }
    ModelDirectory(const ModelDirectory&) = delete;
    ModelDirectory& operator=(const ModelDirectory&) = delete;

    QString add(const QString& relativePath) const {
        const QString path = directory_.filePath(relativePath);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }

private:
    QByteArray previous_;
    QTemporaryDir directory_;
};

class CliIdentifyTest : public CliTest {
protected:
    void addIdentifiedInstrument(const std::string& path, const std::string& reply) {
        link::ScriptedDevice& device = backend.addDevice(path);
        device.answer(link::kShortIdentification, reply);
        device.answer(";#1,U?,W?,N?,S?;", reply);
        device.answer(";#7,US;", "#7,US,1;");
    }

    ModelDirectory models;
};

// The instrument asked for, or a failure naming the ones attached.
TEST_F(CliIdentifyTest, PrintsSerialModelAndReplyOfTheInstrumentAskedFor) {
    const QString model = models.add("Data/lum745A.def");
    addIdentifiedInstrument("sock:/a", "#1,U758,W4.62.1,N20758,S1C07;");
    addIdentifiedInstrument("sock:/b", "#1,U745A,W1.05.3,N10745,S2A4F;");
    EXPECT_EQ(run({"identify", "--serial", "10745"}), 0);
    EXPECT_EQ(out.str(), "serial: 10745\nmodel: " + model.toStdString() +
                             "\nreply: #1,U745A,W1.05.3,N10745,S2A4F;\n");
    EXPECT_TRUE(err.str().empty());

    out.str({});
    EXPECT_EQ(run({"identify", "--serial", "99"}), 1);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("instrument 99 is not available"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("attached: 10745, 20758"), std::string::npos) << err.str();
}

} // namespace
} // namespace ombrix::cli
