// The commands history file: each combination of the saving settings, what an
// empty history leaves alone, failures, and reading a file back.
#include "history/HistoryFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrix::history {
namespace {

const std::vector<HistoryEntry> kTwo = {
    HistoryEntry::Keys({QStringLiteral("A")}, QTime(9, 5, 1)),
    HistoryEntry::Keys({QStringLiteral("B"), QStringLiteral("C")}, QTime(14, 30, 59))};

class HistoryFileTest : public ::testing::Test {
protected:
    QTemporaryDir scratch;
    settings::CommandsToolbarSettings settings;

    QString path(const char* name = "log.txt") const {
        return scratch.filePath(QString::fromLatin1(name));
    }
    QByteArray contents(const char* name = "log.txt") const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    bool write(const std::vector<HistoryEntry>& entries, const QString& image = {},
               const char* name = "log.txt") {
        QString error;
        const bool written = WriteHistory(path(name), entries, settings, image, error);
        EXPECT_EQ(written, error.isEmpty()) << error.toStdString();
        return written;
    }
};

TEST_F(HistoryFileTest, EachCombinationOfAppendCommentAndImageLine) {
    struct Case {
        bool append;
        const char* comment;
        bool image;
        QByteArray expected; // after two saves over "old\n"
    };
    const Case cases[] = {
        {false, "", false, "A\nB + C\n"},
        {false, "Demo 1", false, "Demo 1\nA\nB + C\n"},
        {false, "", true, "#Latest saved image: <None>\nA\nB + C\n"},
        {false, "Demo 1", true, "Demo 1\n#Latest saved image: <None>\nA\nB + C\n"},
        {true, "", false, "old\n\nA\nB + C\n\nA\nB + C\n"},
        {true, "# run", true,
         "old\n\n# run\n#Latest saved image: <None>\nA\nB + C\n"
         "\n# run\n#Latest saved image: <None>\nA\nB + C\n"},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.expected.toStdString());
        QFile old(path());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("old\n");
        old.close();
        settings.SetAppend(each.append);
        settings.SetSeparator(QString::fromLatin1(each.comment));
        settings.SetAddImageInfo(each.image);
        ASSERT_TRUE(write(kTwo));
        ASSERT_TRUE(write(kTwo));
        EXPECT_EQ(contents(), each.expected);
    }
}

TEST_F(HistoryFileTest, TheImageLineNamesTheLatestScreenshotAndTimeStampsAreOptIn) {
    settings.SetAddImageInfo(true);
    ASSERT_TRUE(write(kTwo, QStringLiteral("/shots/img0003.tiff")));
    EXPECT_EQ(contents(), "#Latest saved image: /shots/img0003.tiff\nA\nB + C\n");
    settings.SetAddImageInfo(false);
    settings.SetTimeStamps(true);
    ASSERT_TRUE(write(kTwo));
    EXPECT_EQ(contents(), "[09:05:01] A\n[14:30:59] B + C\n");
}

TEST_F(HistoryFileTest, AppendingToAFileNotThereYetStartsWithTheEmptyLine) {
    settings.SetAppend(true);
    ASSERT_TRUE(write(kTwo));
    EXPECT_EQ(contents(), "\nA\nB + C\n");
}

TEST_F(HistoryFileTest, AnEmptyHistoryCreatesNoFileAndKeepsAnExistingOne) {
    ASSERT_TRUE(write({}));
    EXPECT_FALSE(QFile::exists(path()));
    ASSERT_TRUE(write(kTwo));
    ASSERT_TRUE(write({}));
    EXPECT_EQ(contents(), "A\nB + C\n");
}

TEST_F(HistoryFileTest, AMissingFolderIsCreatedAndNonAsciiNamesSurvive) {
    const std::vector<HistoryEntry> entries = {
        HistoryEntry::Keys({QStringLiteral("ÉCRAN")}, QTime(1, 2, 3))};
    ASSERT_TRUE(write(entries, {}, "new/deeper/log.txt"));
    EXPECT_EQ(contents("new/deeper/log.txt"), QStringLiteral("ÉCRAN\n").toUtf8());
}

TEST_F(HistoryFileTest, AFileThatCannotBeWrittenIsAFailureWithItsReason) {
    ASSERT_TRUE(QDir(scratch.path()).mkdir(QStringLiteral("taken.txt")));
    QString error;
    EXPECT_FALSE(WriteHistory(path("taken.txt"), kTwo, settings, {}, error));
    EXPECT_FALSE(error.isEmpty());

    QFile blocker(path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    error.clear();
    EXPECT_FALSE(WriteHistory(path("blocker/log.txt"), kTwo, settings, {}, error));
    EXPECT_TRUE(error.contains(QStringLiteral("blocker"))) << error.toStdString();
}

TEST_F(HistoryFileTest, ReadingSkipsBlankCommentAndHashLinesAndTimeStamps) {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Demo run\n#Latest saved image: <None>\n\n  menu  \n"
               "[10:00:00] UP + DOWN\r\n+ + -\n   \nMENU+ENTER\n");
    file.close();
    QString error;
    const auto entries = ReadHistory(path(), QStringLiteral("Demo run"), error);
    ASSERT_TRUE(entries.has_value()) << error.toStdString();
    ASSERT_EQ(entries->size(), 4u);
    EXPECT_EQ((*entries)[0].line, 4);
    EXPECT_EQ((*entries)[0].keys, QStringList{QStringLiteral("menu")});
    EXPECT_EQ((*entries)[1].line, 5);
    EXPECT_EQ((*entries)[1].keys, (QStringList{QStringLiteral("UP"), QStringLiteral("DOWN")}));
    EXPECT_EQ((*entries)[2].keys, (QStringList{QStringLiteral("+"), QStringLiteral("-")}));
    EXPECT_EQ((*entries)[3].keys, QStringList{QStringLiteral("MENU+ENTER")}); // one name
    EXPECT_EQ((*entries)[3].line, 8);

    EXPECT_FALSE(ReadHistory(path("absent.txt"), {}, error).has_value());
    EXPECT_FALSE(error.isEmpty());
}

// A hold is saved after its key's name and read back as a hold; a note stays
// a "#" line of its own, time stamps or not, and is no entry.
TEST_F(HistoryFileTest, HoldsAndNotesAreSavedSoThatTheyReadBack) {
    settings.SetTimeStamps(true);
    ASSERT_TRUE(write({HistoryEntry::Keys({QStringLiteral("ESC")}, QTime(9, 0, 0), true),
                       HistoryEntry::Note(QStringLiteral("Instrument #7 (x.def)"), QTime(9, 0, 1)),
                       HistoryEntry::Keys({QStringLiteral("UP")}, QTime(9, 0, 2))}));
    EXPECT_EQ(contents(), "[09:00:00] ESC (hold)\n# Instrument #7 (x.def)\n[09:00:02] UP\n");
    QString error;
    const auto entries = ReadHistory(path(), {}, error);
    ASSERT_TRUE(entries.has_value()) << error.toStdString();
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].keys, QStringList{QStringLiteral("ESC")});
    EXPECT_TRUE((*entries)[0].hold);
    EXPECT_TRUE((*entries)[0].firstInBlock);
    EXPECT_FALSE((*entries)[1].hold);
    EXPECT_FALSE((*entries)[1].firstInBlock);
}

// A comment that is also a key's name is the comment only where a save puts it.
TEST_F(HistoryFileTest, TheCommentIsSkippedOnlyAtTheStartOfABlock) {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("MENU\nENTER\nMENU\n\nMENU\nESC\n");
    file.close();
    QString error;
    const auto entries = ReadHistory(path(), QStringLiteral("MENU"), error);
    ASSERT_TRUE(entries.has_value()) << error.toStdString();
    std::vector<int> lines;
    for (const ReadEntry& entry : *entries) {
        lines.push_back(entry.line);
    }
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 6}));
}

} // namespace
} // namespace ombrix::history
