#include "session/Identification.h"

#include "ProgramFolder.h"
#include "ScriptedSession.h"

#include <gtest/gtest.h>

namespace ombrix::session {
namespace {

using link::DataSourceException;
using testing::ProgramFolder;

constexpr const char* kIdentification = ";#1,U?,W?,N?,S?;";
constexpr const char* kUsRequest = ";#7,US;";

class IdentificationTest : public testing::ScriptedSession {
protected:
    ProgramFolder program;

    // An instrument that identifies itself during the refresh as `serial` and
    // answers the full identification with `reply`.
    link::ScriptedDevice& addInstrument(const std::string& path, link::Serial serial,
                                        const std::string& reply, int usValue = 0) {
        link::ScriptedDevice& device = ScriptedSession::addInstrument(path, serial, usValue);
        device.answer(kIdentification, reply);
        return device;
    }

    template <typename Operation> void expectFailure(std::int32_t code, Operation operation) {
        EXPECT_EQ(failureCode(operation), code);
    }

    std::filesystem::path choose(const std::string& reply, std::int32_t usValue = 0) {
        OrmaSettings settings;
        settings.storeReply(reply);
        settings.usValue = usValue;
        return ChooseModel(settings, program.root());
    }
};

TEST_F(IdentificationTest, QueryAsksForTheIdentificationThenTheUsValue) {
    link::ScriptedDevice& device = addInstrument("sock:/a", 31, "#1,U302,W2.0.0,N31,S0;", 4);
    open(31);
    OrmaSettings settings;
    settings.wideReply = L"old";
    QueryIdentification(source, settings, 31);
    const auto writes = device.writes();
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes[writes.size() - 2], kIdentification);
    EXPECT_EQ(writes.back(), kUsRequest);
    EXPECT_EQ(settings, (OrmaSettings{"#1,U302,W2.0.0,N31,S0;", L"", 4}));

    for (const char* reply : {"#7,?;", "#7,US,x;", "#7,US;", "#7,US,99999999999;"}) {
        device.answer(kUsRequest, reply);
        QueryIdentification(source, settings, 31);
        EXPECT_EQ(settings.usValue, 0) << reply;
    }
}

TEST_F(IdentificationTest, ChooseModelTakesTheOwnFileInDataElseTheFamilyFileBesideTheProgram) {
    const std::string reply = "#1,U745A,W251b,N31,S0;";
    program.add("Data/lum745A.def");
    program.add("Data/lum74x.def");
    program.add("lum745A_ru.def");
    EXPECT_EQ(choose(reply), "");
    const auto family = program.add("lum74x.def");
    EXPECT_EQ(choose(reply), family);
    const auto own = program.add("Data/LUM745A_RU.DEF");
    EXPECT_EQ(choose(reply), own);

    program.add("Data/lum302.def"); // the US value is the mode
    const auto plus = program.add("Data/lum302plus.def");
    EXPECT_EQ(choose("#1,U302,W2.0.0;", 3), plus);
}

TEST_F(IdentificationTest, AReplyThatIsNoIdentificationFindsOnlyTheUnknownModel) {
    program.add("lum74x.def");
    EXPECT_EQ(choose("#2,U745A,W251b;"), "");
    const auto unknown = program.add("lum_unknown.def");
    EXPECT_EQ(choose("#2,U745A,W251b;"), unknown);
    const auto unknownData = program.add("Data/lum_unknown.def");
    EXPECT_EQ(choose("garbage\xff\xfe"), unknownData);
}

TEST_F(IdentificationTest, ConnectSelectsTheModelFileAndTheSerial) {
    const auto model = program.add("Data/lum745A.def");
    addInstrument("sock:/a", 31, "#1,U745A,W1.05.3,N31,S0;");
    OrmaSettings identification{"old", L"old", 7};
    EXPECT_EQ(ConnectInstrument(source, std::nullopt, program.root(), identification),
              (ModelSelection{model, 31}));
    EXPECT_EQ(identification,
              (OrmaSettings{"#1,U745A,W1.05.3,N31,S0;", L"#1,U745A,W1.05.3,N31,S0;", 0}));
    EXPECT_TRUE(deviceOpen(31));
}

TEST_F(IdentificationTest, ConnectPrefersTheInstrumentUsedBefore) {
    program.add("lum74x.def");
    const auto model = program.add("Data/lum758A.def");
    addInstrument("sock:/a", 12, "#1,U745,W1.05.3,N12;");
    addInstrument("sock:/b", 40, "#1,U758,W4.10.0,N40;");
    EXPECT_EQ(ConnectInstrument(source, 40, program.root()), (ModelSelection{model, 40}));
    EXPECT_EQ(ConnectInstrument(source, 99, program.root()).serial, 12u);
}

TEST_F(IdentificationTest, ConnectWithoutAnInstrumentFailsWithNothingToClose) {
    program.add("lum_unknown.def");
    expectFailure(1, [&] { ConnectInstrument(source, std::nullopt, program.root()); });
    backend.addDevice("sock:/mute"); // listed but never identifies itself
    expectFailure(1, [&] { ConnectInstrument(source, std::nullopt, program.root()); });
    EXPECT_TRUE(connection.Devices().empty());
}

TEST_F(IdentificationTest, ConnectClosesTheInstrumentWhenItCannotBeSelected) {
    program.add("Data/lum745A.def");
    link::ScriptedDevice& device = addInstrument("sock:/a", 31, "");
    for (const char* reply : {
             "#1,U745A,W1.05.3,Nxyz,S0;", // serial not a number
             "#1,U745A,W1.05.3,S0;",      // no serial
             "#1,U745A,W1.05.3,N32,S0;",  // not the serial it was opened under
             "#1,U746,W1.05.3,N31,S0;",   // no model file
             "#1,U745A,W1.05.3,N31",      // no end: times out
         }) {
        device.answer(kIdentification, reply);
        expectFailure(1, [&] { ConnectInstrument(source, std::nullopt, program.root()); });
        EXPECT_FALSE(deviceOpen(31)) << reply;
    }
}

// A check keeps an identification reply; one that is none empties the record
// (code 0) and leaves the device open.
TEST_F(IdentificationTest, CheckKeepsAnIdentificationReplyOrEmptiesTheRecord) {
    link::ScriptedDevice& device = addInstrument("sock:/a", 31, "#1,U745A,W1.05.3,N31,S0;", 2);
    open(31);
    OrmaSettings settings;
    CheckIdentification(source, settings, 31);
    EXPECT_EQ(settings, (OrmaSettings{"#1,U745A,W1.05.3,N31,S0;", L"", 2}));

    for (const char* reply : {"#1,W1.05.3,U745A;", "?;"}) {
        device.answer(kIdentification, reply);
        expectFailure(0, [&] { CheckIdentification(source, settings, 31); });
        EXPECT_EQ(settings, OrmaSettings()) << reply;
        EXPECT_TRUE(deviceOpen(31));
    }
}

} // namespace
} // namespace ombrix::session
