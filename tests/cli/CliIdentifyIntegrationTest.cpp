#include "CliProcess.h"
#include "SimProcess.h"
#include "catalogue/ModelCatalogue.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using ombrix::sim::InstrumentModel;
using ombrix::sim::testing::SimProcess;
using ombrix::testing::CliResult;
using ombrix::testing::RunCli;

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString expectedModelFile(const InstrumentModel& model) {
    return model.shippedFile == ombrix::sim::ModelFileKind::Exact
               ? "/Data/" + fromView(model.modelFileName)
               : "/" + fromView(model.familyFileName);
}

QString lineValue(const QString& out, const QString& key) {
    for (const QString& line : out.split(u'\n')) {
        if (line.startsWith(key + ": ")) {
            return line.mid(key.size() + 2);
        }
    }
    return {};
}

TEST(CliIdentifyIntegrationTest, ChoosesTheModelFileOfEverySimulatedInstrument) {
    QTemporaryDir directory;
    SimProcess simulator({}, directory.path().toStdString());
    int familyFiles = 0;
    for (const InstrumentModel& model : ombrix::sim::allModels()) {
        SCOPED_TRACE(model.key);
        const QString serial = QString::number(model.identification.serial);
        const CliResult result = RunCli({"identify", "--serial", serial}, directory.path(), {});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(result.out.count(u'\n'), 3);
        EXPECT_EQ(lineValue(result.out, "serial"), serial);
        const QString modelPath = lineValue(result.out, "model");
        EXPECT_TRUE(modelPath.endsWith(expectedModelFile(model))) << modelPath.toStdString();
        EXPECT_EQ(QFileInfo(modelPath).absolutePath(),
                  QFileInfo(OMBRIX_CLI_PATH).absolutePath() +
                      (model.shippedFile == ombrix::sim::ModelFileKind::Exact ? "/Data" : ""));
        EXPECT_TRUE(QFileInfo::exists(modelPath));
        const QString reply = lineValue(result.out, "reply");
        EXPECT_TRUE(reply.startsWith("#1,U" + QString::number(model.identification.unitType) +
                                     fromView(model.identification.letter) + ","));
        EXPECT_TRUE(reply.contains(",N" + serial));
        EXPECT_TRUE(reply.endsWith(';'));
        familyFiles += model.shippedFile == ombrix::sim::ModelFileKind::Family ? 1 : 0;
    }
    EXPECT_GE(familyFiles, 1);
}

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
