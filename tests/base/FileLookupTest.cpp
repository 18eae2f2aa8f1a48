#include "base/FileLookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrix::base {
namespace {

class FileLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("Data/lum745")));
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("Data/LUM746.DEF")));
        for (const char* name : {"Data/lum745/Front.bmp", "Data/lum745/KEY.bmp",
                                 "Data/lum745/key.BMP", "Data/lum745A.def"}) {
            QFile file(path(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    QString path(const char* relative) const {
        return dir_.filePath(QString::fromLatin1(relative));
    }

    QTemporaryDir dir_;
};

TEST_F(FileLookupTest, FindsEachPartWhateverItsCase) {
    EXPECT_EQ(ResolveFileName(dir_.path(), QStringLiteral("DATA\\LUM745\\FRONT.BMP")),
              path("Data/lum745/Front.bmp"));
    EXPECT_EQ(ResolveFileName(path("Data/"), QStringLiteral("LUM745/FRONT.BMP")),
              path("Data/lum745/Front.bmp"));
}

TEST_F(FileLookupTest, AnExactNameWinsThenTheLowestOtherSpelling) {
    EXPECT_EQ(ResolveFileName(path("Data/lum745"), QStringLiteral("key.BMP")),
              path("Data/lum745/key.BMP"));
    EXPECT_EQ(ResolveFileName(path("Data/lum745"), QStringLiteral("KEY.BMP")),
              path("Data/lum745/KEY.bmp"));
    EXPECT_EQ(ResolveFileName(path("Data/lum745"), QStringLiteral("kEy.bmp")),
              path("Data/lum745/KEY.bmp"));
}

TEST_F(FileLookupTest, NamesNotFoundStayAsWrittenAndDotsAreTakenAsWritten) {
    EXPECT_EQ(ResolveFileName(dir_.path(), QStringLiteral("DATA\\NONE\\X.BMP")),
              path("Data/NONE/X.BMP"));
    EXPECT_EQ(ResolveFileName(dir_.path(), QString()), dir_.path());
    EXPECT_EQ(ResolveFileName(path("Data/lum745"), QStringLiteral("..\\LUM745A.DEF")),
              path("Data/lum745/../lum745A.def"));
}

TEST_F(FileLookupTest, FindFileNamesOnlyRegularFiles) {
    EXPECT_EQ(FindFile(dir_.path(), QStringLiteral("data/LUM745A.DEF")), path("Data/lum745A.def"));
    EXPECT_EQ(FindFile(dir_.path(), QStringLiteral("Data/lum746.def")), QString()); // a folder
    EXPECT_EQ(FindFile(dir_.path(), QStringLiteral("Data")), QString());
    EXPECT_EQ(FindFile(dir_.path(), QString()), QString());
    EXPECT_EQ(FindFile(path("missing"), QStringLiteral("lum745A.def")), QString());
}

} // namespace
} // namespace ombrix::base
