#include "control/ControlCommand.h"

#include "catalogue/ModelCatalogue.h"
#include "control/Options.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ombrix::sim {
namespace {

ControlCommand parsed(std::string_view line) {
    auto result = parseControlCommand(line);
    if (auto* error = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << line << ": " << *error;
        return {};
    }
    return std::get<ControlCommand>(result);
}

std::string errorOf(std::string_view line) {
    const auto result = parseControlCommand(line);
    const auto* error = std::get_if<std::string>(&result);
    return error != nullptr ? *error : std::string();
}

TEST(ControlCommand, FaultCommandsCarryTheirArguments) {
    const ControlCommand cut = parsed("cut 1 sc 100");
    EXPECT_EQ(cut.verb, ControlVerb::Cut);
    EXPECT_EQ(cut.request, CommandKind::Screen);
    EXPECT_TRUE(cut.enable);
    EXPECT_EQ(cut.amount, 100U);
    EXPECT_FALSE(parsed("cut 1 id off").enable);
    const ControlCommand unsupported = parsed("unsupported all sp3 on");
    EXPECT_EQ(unsupported.request, CommandKind::Status);
    EXPECT_TRUE(unsupported.enable);
    EXPECT_FALSE(parsed("stall 2 off").enable);
    EXPECT_EQ(parsed("trickle 1 25").amount, 25U);
    EXPECT_EQ(parsed("rate all 1000000").amount, 1'000'000U);
    EXPECT_EQ(parsed("key 1 0x3B").amount, 0x3BU);
    EXPECT_EQ(parsed("key 1 59").amount, 59U);
}

TEST(ControlCommand, PortsSwapFreezeAndSnapshotCarryTheirArguments) {
    EXPECT_EQ(parsed("unplug 3").port, 3);
    EXPECT_EQ(parsed("  replug   all ").port, std::nullopt);
    EXPECT_EQ(parsed("replug all").verb, ControlVerb::Replug);
    const ControlCommand plain = parsed("swap 1 colour");
    EXPECT_EQ(plain.model, "colour");
    EXPECT_EQ(plain.serial, std::nullopt);
    EXPECT_EQ(parsed("swap 1 legacy 77").serial, 77U);
    const ControlCommand freeze = parsed("freeze all on");
    EXPECT_EQ(freeze.verb, ControlVerb::Freeze);
    EXPECT_TRUE(freeze.enable);
    EXPECT_FALSE(parsed("freeze 2 off").enable);
    const ControlCommand snapshot = parsed("snapshot 3 /tmp/screen.png");
    EXPECT_EQ(snapshot.verb, ControlVerb::Snapshot);
    EXPECT_EQ(snapshot.port, 3);
    EXPECT_EQ(snapshot.file, "/tmp/screen.png");
}

TEST(ControlCommand, BadLinesSayWhatIsWrong) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "empty"},
        {"explode 1", "unknown command"},
        {"unplug", "wrong number of arguments"},
        {"unplug 1 2", "wrong number of arguments"},
        {"freeze 1", "wrong number of arguments"},
        {"snapshot 1 a b", "wrong number of arguments"},
        {"unplug 0", "PORT"},
        {"unplug x", "PORT"},
        {"snapshot all a.png", "one port"},
        {"stall 1 maybe", "on or off"},
        {"freeze 1 maybe", "on or off"},
        {"unsupported 1 sp9 on", "unknown request"},
        {"unsupported 1 id on", "unknown request"},
        {"cut 1 key 5", "unknown request"},
        {"cut 1 sc -5", "BYTES"},
        {"key 1 256", "CODE"},
        {"trickle 1 99999999", "MS"},
        {"rate 1 fast", "BYTES_PER_SECOND"},
        {"swap 1 mono 12x", "SERIAL"},
        {"list now", "list takes no arguments"},
    };
    for (const auto& [line, fragment] : cases) {
        EXPECT_NE(errorOf(line).find(fragment), std::string::npos) << line;
    }
}

Options options(std::vector<std::string> arguments) {
    auto result = parseOptions(arguments);
    if (auto* error = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << *error;
        return {};
    }
    return std::get<Options>(result);
}

std::string optionError(std::vector<std::string> arguments) {
    const auto result = parseOptions(arguments);
    const auto* error = std::get_if<std::string>(&result);
    return error != nullptr ? *error : std::string();
}

TEST(Options, InstrumentsAreModelsWithOptionalSerials) {
    const Options parsedOptions = options({"mono", "colour:99", "--device-dir", "/tmp/x"});
    ASSERT_EQ(parsedOptions.instruments.size(), 2U);
    EXPECT_EQ(parsedOptions.instruments[0].model, findModel("mono"));
    EXPECT_EQ(parsedOptions.instruments[0].serial, std::nullopt);
    EXPECT_EQ(parsedOptions.instruments[1].serial, 99U);
    EXPECT_EQ(parsedOptions.deviceDirectory, std::filesystem::path("/tmp/x"));
    EXPECT_TRUE(options({"--help"}).help);
    EXPECT_NE(helpText().find("--device-dir"), std::string::npos);
}

TEST(Options, ValuesMayFollowAnEqualsSign) {
    const Options parsedOptions =
        options({"--record=/tmp/r.txt", "--do=stall all on", "--at=250:unplug 1"});
    EXPECT_EQ(parsedOptions.recordFile, std::filesystem::path("/tmp/r.txt"));
    EXPECT_EQ(parsedOptions.startCommands, std::vector<std::string>{"stall all on"});
    ASSERT_EQ(parsedOptions.timedCommands.size(), 1U);
    EXPECT_EQ(parsedOptions.timedCommands[0].delay, std::chrono::milliseconds(250));
    EXPECT_EQ(parsedOptions.timedCommands[0].text, "unplug 1");
}

TEST(Options, BadArgumentsAreNamed) {
    EXPECT_NE(optionError({"toaster"}).find("unknown model"), std::string::npos);
    EXPECT_NE(optionError({"mono:abc"}).find("bad serial"), std::string::npos);
    EXPECT_NE(optionError({"--speed", "3"}).find("unknown option"), std::string::npos);
    EXPECT_NE(optionError({"--record"}).find("needs a value"), std::string::npos);
    EXPECT_NE(optionError({"--device-dir="}).find("needs a value"), std::string::npos);
    EXPECT_NE(optionError({"--do", "explode"}).find("bad control command"), std::string::npos);
    EXPECT_NE(optionError({"--at", "soon:unplug 1"}).find("MS:COMMAND"), std::string::npos);
    EXPECT_NE(optionError({"--at", "10:unplug"}).find("bad control command"), std::string::npos);
}

} // namespace
} // namespace ombrix::sim
