#include "model/ResolveFileName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrix::model {
namespace {

class ResolveFileNameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("Data/lum745")));
        for (const char* name :
             {"Data/lum745/Front.bmp", "Data/lum745/KEY.bmp", "Data/lum745/key.BMP"}) {
            QFile file(dir_.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    QString path(const char* relative) const {
        return dir_.filePath(QString::fromLatin1(relative));
    }

    QTemporaryDir dir_;
};

TEST_F(ResolveFileNameTest, FindsEachPartWhateverItsCase) {
    EXPECT_EQ(ResolveFileName(dir_.path(), QStringLiteral("DATA\\LUM745\\FRONT.BMP")),
              path("Data/lum745/Front.bmp"));
    EXPECT_EQ(ResolveFileName(path("Data/"), QStringLiteral("LUM745/FRONT.BMP")),
              path("Data/lum745/Front.bmp"));
}

TEST_F(ResolveFileNameTest, AnExactNameWinsOverOtherSpellings) {
    EXPECT_EQ(ResolveFileName(path("Data/lum745"), QStringLiteral("key.BMP")),
              path("Data/lum745/key.BMP"));
    EXPECT_EQ(ResolveFileName(path("Data/lum745"), QStringLiteral("KEY.BMP")),
              path("Data/lum745/KEY.bmp")); // the first by name of the two spellings
}

TEST_F(ResolveFileNameTest, NamesNotFoundStayAsWritten) {
    EXPECT_EQ(ResolveFileName(dir_.path(), QStringLiteral("DATA\\NONE\\X.BMP")),
              path("Data/NONE/X.BMP"));
    EXPECT_EQ(ResolveFileName(dir_.path(), QString()), dir_.path());
}

} // namespace
} // namespace ombrix::model
