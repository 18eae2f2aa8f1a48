#include "settings/ApplicationSettings.h"

#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>

namespace ombrix::settings {
namespace {

// Logs the keys opened and the names of the values exchanged; reads succeed without
// touching their outputs, and opening refusedKey fails.
class RecordingStream final : public SettingsStream {
public:
    explicit RecordingStream(bool storing, QString refusedKey = {})
        : SettingsStream(storing), refusedKey_(std::move(refusedKey)) {}

    bool OpenKey(const QString& path) override {
        log.append("open " + path);
        return path != refusedKey_;
    }
    bool OpenDefaultUserKey(const QString&) override { return false; }
    SettingsStream& Close() override {
        log.append("close");
        return *this;
    }
    bool DeleteSubKey(const QString&) override { return false; }
    bool DeleteAllSubKeys() override { return false; }
    bool WriteString(const QString& name, const QString&) override { return Record(name); }
    bool WriteDword(const QString& name, std::uint32_t) override { return Record(name); }
    bool ReadString(const QString& name, QString&) override { return Record(name); }
    bool ReadDword(const QString& name, std::uint32_t&) override { return Record(name); }

    QStringList log;

private:
    bool Record(const QString& name) {
        log.append(name);
        return true;
    }

    QString refusedKey_;
};

TEST(ApplicationSettingsExchange, AGroupWhoseKeyCannotOpenIsUntouchedAndFailsTheWhole) {
    ApplicationSettings settings;
    ViewSettings view;
    view.SetHighlightPeriod(40);
    settings.SetView(view);
    RecordingStream stream(false, "MainSettings/View");
    EXPECT_FALSE(settings.Exchange(stream, settings.SettingsPath()));
    EXPECT_EQ(settings.View().HighlightPeriod(), 40u);
    EXPECT_FALSE(stream.log.contains("button_highlight_period"));
    EXPECT_TRUE(stream.log.contains("cursor_size"));
}

TEST(ApplicationSettingsPaths, RootPathPrefixesTheTreeKeyUnlessEmpty) {
    ApplicationSettings settings;
    EXPECT_EQ(settings.SettingsPath(), "MainSettings");
    settings.SetRootPath({});
    EXPECT_EQ(settings.SettingsPath(), "MainSettings");
    settings.SetRootPath("Custom/Root");
    EXPECT_EQ(settings.RootPath(), "Custom/Root");
    EXPECT_EQ(settings.SettingsPath(), "Custom/Root/MainSettings");
}

TEST(ApplicationSettingsAccessors, DisplayModeChangesRememberTheModeBefore) {
    ApplicationSettings settings;
    settings.SetDisplayMode(2);
    settings.SetDisplayMode(3);
    EXPECT_EQ(settings.DisplayMode(), 3u);
    EXPECT_EQ(settings.PreviousDisplayMode(), 2u);
}

TEST(MainFrameSettingsAccessors, CompactWidthSetterIgnoresWidthsBelowFifty) {
    MainFrameSettings frame;
    frame.SetCompactWindowWidth(20);
    EXPECT_EQ(frame.CompactWindowWidth(), 300u);
    frame.SetCompactWindowWidth(49);
    EXPECT_EQ(frame.CompactWindowWidth(), 300u);
    frame.SetCompactWindowWidth(50);
    EXPECT_EQ(frame.CompactWindowWidth(), 50u);
}

TEST(CommandsToolbarSettingsAccessors, FileNameAlwaysEndsInTxt) {
    const std::pair<const char*, const char*> names[] = {
        {"history.log", "history.txt"}, {"notes", "notes.txt"},     {"a.b.c", "a.b.txt"},
        {"Report.TXT", "Report.txt"},   {".hidden", ".hidden.txt"}, {"v1.2/log", "v1.2/log.txt"}};
    CommandsToolbarSettings bar;
    for (const auto& [name, expected] : names) {
        bar.SetFileName(name);
        EXPECT_EQ(bar.FileName(), expected) << name;
    }
}

TEST(CommandsToolbarSettingsAccessors, FilePathJoinsFolderAndNameWithASeparator) {
    CommandsToolbarSettings bar;
    EXPECT_EQ(bar.FilePath(), "commands.txt");
    bar.SetFolder("/home/u/Akten");
    EXPECT_EQ(bar.FilePath(), QString("/home/u/Akten") + QDir::separator() + "commands.txt");
}

} // namespace
} // namespace ombrix::settings
