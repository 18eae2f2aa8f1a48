#include "link/DeviceClaims.h"

#include "link/ProbeReport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ombrix::link {
namespace {

// The pid of a process that has ended.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(DeviceClaimsTest, OnlyALiveOtherProgramHoldsADevice) {
    const std::filesystem::path directory =
        std::filesystem::path(::testing::TempDir()) / "claims-records";
    std::filesystem::remove_all(directory);
    DeviceClaims claims(directory);
    ASSERT_TRUE(claims.claim("usb:1-2", 40741));
    EXPECT_EQ(claims.holder("usb:1-2"), std::nullopt); // this process's own record

    const auto record = [&](const std::string& name, const std::string& path, pid_t pid) {
        std::ofstream(directory / name) << path << "\n30302\n" << pid << "\n";
    };
    record("usb%3A1%2D3.claim", "usb:1-3", 1);
    record("usb%3A1%2D4.claim", "usb:1-4", endedProcess());
    record("usb%3A1%2D5.claim", "usb:1-6", 1); // a record of another path
    EXPECT_EQ(claims.holder("usb:1-3"), (DeviceClaim{30302, 1}));
    EXPECT_EQ(claims.holder("usb:1-4"), std::nullopt);
    EXPECT_EQ(claims.holder("usb:1-5"), std::nullopt);

    claims.release("usb:1-3"); // another's record stays
    EXPECT_TRUE(std::filesystem::exists(directory / "usb%3A1%2D3.claim"));
    claims.release("usb:1-2");
    EXPECT_FALSE(std::filesystem::exists(directory / "usb%3A1%2D2.claim"));
}

// The sentence the status bar and the dialog show for each way a device can
// fail to open, and that nothing is said while every device is fine.
TEST(ProbeReportTest, EachFailureIsNamedWithItsDevice) {
    using Outcome = DeviceProbe::Outcome;
    const DeviceProbe fine{"sock:/a", Outcome::Identified, 8, OpenFailure::None, "745A"};
    const auto problem = [&](DeviceProbe probe) { return ProbeProblem({fine, probe}); };
    EXPECT_EQ(ProbeProblem({fine}), "");
    EXPECT_EQ(
        problem({"usb:1-2", Outcome::CannotOpen, std::nullopt, OpenFailure::PermissionDenied}),
        "The device at usb:1-2 cannot be opened: permission denied");
    EXPECT_EQ(problem({"usb:1-2", Outcome::InUseElsewhere, 40741, OpenFailure::InUse}),
              "Instrument #40741 is in use by another program");
    EXPECT_EQ(problem({"usb:1-2", Outcome::InUseElsewhere, std::nullopt, OpenFailure::InUse}),
              "The device at usb:1-2 is in use by another program");
    EXPECT_EQ(problem({"usb:1-2", Outcome::CannotOpen, std::nullopt, OpenFailure::NoBulkInterface}),
              "The device at usb:1-2 cannot be opened: no interface with one bulk IN and one "
              "bulk OUT endpoint");
    EXPECT_EQ(problem({"usb:1-2", Outcome::CannotOpen, std::nullopt, OpenFailure::Vanished}),
              "The device at usb:1-2 cannot be opened: it vanished");
    EXPECT_EQ(problem({"sock:/b", Outcome::NoAnswer}),
              "The device at sock:/b did not answer within 4 s");
}

} // namespace
} // namespace ombrix::link
