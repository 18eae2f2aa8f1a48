// The model file chosen for every simulated instrument is shown by the
// package's test (tests/packaging) and by the document's integration test;
// here, what identify says when the program directory has none.
#include "CliProcess.h"
#include "SimProcess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using ombrix::sim::testing::SimProcess;
using ombrix::testing::CliResult;
using ombrix::testing::RunCli;

TEST(CliIdentifyIntegrationTest, FailsWhenTheModelFolderHasNoFileForTheInstrument) {
    QTemporaryDir directory;
    QTemporaryDir emptyModels;
    SimProcess simulator({}, directory.path().toStdString());
    const CliResult result = RunCli({"identify"}, directory.path(), emptyModels.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(result.err.contains("no model file in " + emptyModels.path()))
        << result.err.toStdString();
}

} // namespace
