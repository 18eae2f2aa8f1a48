#include "settings/SettingsStore.h"

#include "SettingsFiles.h"
#include "settings/QSettingsStream.h"

#include <QFile>
#include <csignal>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ombrix::settings {
namespace {

using base::Rect;

const QString kFixtures = QStringLiteral(OMBRIX_FIXTURES_DIR "/settings/");

// Every stored value differs from its default; the texts reach beyond Latin-1.
ApplicationSettings Customised(std::uint32_t seed) {
    ApplicationSettings settings;
    ScreenshotSettings screenshot;
    screenshot.SetCounter(seed + 40);
    screenshot.SetFormat(1);
    screenshot.SetPrefix(QStringLiteral("Messung_%1_Ω").arg(seed));
    screenshot.SetFolder(QStringLiteral("/srv/Bilder/Прибор %1").arg(seed));
    screenshot.SetRecordFormat(2);
    screenshot.SetRecordCaptions(true);
    settings.SetScreenshot(screenshot);
    ViewSettings view;
    view.SetHighlightPeriod(seed + 250);
    view.SetBackgroundColor(0x00FF00FF);
    view.SetSharpPixels(true);
    settings.SetView(view);
    CursorSettings cursor;
    cursor.SetSize(seed % 2);
    settings.SetCursor(cursor);
    MainFrameSettings frame;
    frame.SetWindowRect(Rect{-5, static_cast<std::int32_t>(seed), 1920, 1080});
    frame.SetKeyboardToolbarVisible(true);
    frame.SetCompactWindowWidth(seed + 60);
    frame.SetAlwaysOnTop(true);
    frame.SetKeyboardToolbarRect(Rect{1930, 10, 2480, 90});
    settings.SetMainFrame(frame);
    CommandsToolbarSettings bar;
    bar.SetAddImageInfo(true);
    bar.SetAppend(true);
    bar.SetFileName(QStringLiteral("Protokoll%1").arg(seed));
    bar.SetFolder(QStringLiteral("/srv/Protokolle/日本"));
    bar.SetSeparator(QStringLiteral("Vorführung 😀 %1").arg(seed));
    bar.SetVisible(false);
    bar.SetTimeStamps(true);
    bar.SetWindowRect(Rect{-300, 40, -40, 300});
    settings.SetCommandsToolbar(bar);
    settings.SetDisplayMode(seed + 1);
    settings.SetDisplayMode(3);
    return settings;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    ApplicationSettings Load(const QString& path) {
        ApplicationSettings settings;
        SettingsStore(path).LoadSettings(settings);
        return settings;
    }

    // The defaults, with empty folders standing for the documents folder.
    ApplicationSettings Defaults() const {
        ApplicationSettings settings;
        ScreenshotSettings screenshot;
        screenshot.SetFolder(documents_.Path());
        settings.SetScreenshot(screenshot);
        CommandsToolbarSettings bar;
        bar.SetFolder(documents_.Path());
        settings.SetCommandsToolbar(bar);
        return settings;
    }

    TemporaryDocumentsFolder documents_;
    SettingsFiles files_;
};

TEST_F(SettingsStoreTest, ACleanStoreGivesEveryDefaultAndStaysUntouched) {
    const QString path = files_.NewPath();
    const ApplicationSettings settings = Load(path);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(settings.DisplayMode(), 0u);
    EXPECT_EQ(settings.PreviousDisplayMode(), 0u);
    EXPECT_EQ(settings.Screenshot().Counter(), 0u);
    EXPECT_EQ(settings.Screenshot().Format(), 0u);
    EXPECT_EQ(settings.Screenshot().Prefix(), "");
    EXPECT_EQ(settings.Screenshot().Folder(), documents_.Path());
    EXPECT_EQ(settings.Screenshot().RecordFormat(), 0u);
    EXPECT_FALSE(settings.Screenshot().RecordCaptions());
    EXPECT_EQ(settings.View().HighlightPeriod(), 1000u);
    EXPECT_EQ(settings.View().BackgroundColor(), 0u);
    EXPECT_EQ(settings.Cursor().Size(), 2u);
    EXPECT_EQ(settings.MainFrame().WindowRect(), (Rect{200, 200, 500, 500}));
    EXPECT_FALSE(settings.MainFrame().HasWindowRect()) << "the default stands in for none";
    EXPECT_FALSE(settings.MainFrame().KeyboardToolbarVisible());
    EXPECT_EQ(settings.MainFrame().CompactWindowWidth(), 300u);
    EXPECT_FALSE(settings.MainFrame().KeyboardToolbarRect().has_value());
    const CommandsToolbarSettings bar = settings.CommandsToolbar();
    EXPECT_FALSE(bar.WindowRect().has_value());
    EXPECT_FALSE(bar.AddImageInfo());
    EXPECT_FALSE(bar.Append());
    EXPECT_EQ(bar.FilePath(), documents_.Path() + "/commands.txt");
    EXPECT_EQ(bar.Separator(), "");
    EXPECT_TRUE(bar.Visible());
    EXPECT_EQ(bar.FloatingPosition(), QPoint(160, 240));

    GlobalProfile profile;
    EXPECT_FALSE(SettingsStore(path).LoadProfile(profile));
    EXPECT_EQ(profile, (GlobalProfile{0, 0, 100, 100, 1, 5}));
}

TEST_F(SettingsStoreTest, LoadsEveryValueOfTheDocumentedLayout) {
    const QString path = files_.CopyOf(kFixtures + "all_values.ini");
    ApplicationSettings settings;
    EXPECT_TRUE(SettingsStore(path).LoadSettings(settings));
    EXPECT_EQ(settings.DisplayMode(), 3u);
    EXPECT_EQ(settings.PreviousDisplayMode(), 2u);
    EXPECT_EQ(settings.Screenshot().Counter(), 41u);
    EXPECT_EQ(settings.Screenshot().Format(), 1u);
    EXPECT_EQ(settings.Screenshot().Prefix(), "Messung_");
    EXPECT_EQ(settings.Screenshot().Folder(), "/srv/Bilder/Прибор");
    EXPECT_EQ(settings.Screenshot().RecordFormat(), 0u) << "a store from before recordings";
    EXPECT_EQ(settings.View().HighlightPeriod(), 250u);
    EXPECT_EQ(settings.View().BackgroundColor(), 0x00FF00FFu);
    EXPECT_EQ(settings.Cursor().Size(), 1u);
    EXPECT_EQ(settings.MainFrame().WindowRect(), (Rect{-5, 0, 1920, 1080}));
    EXPECT_TRUE(settings.MainFrame().HasWindowRect());
    EXPECT_TRUE(settings.MainFrame().KeyboardToolbarVisible());
    EXPECT_EQ(settings.MainFrame().CompactWindowWidth(), 20u) << "loading takes widths below 50";
    const CommandsToolbarSettings bar = settings.CommandsToolbar();
    EXPECT_TRUE(bar.AddImageInfo() && bar.Append());
    EXPECT_EQ(bar.FilePath(), "/srv/Protokolle/日本/Protokoll.txt");
    EXPECT_EQ(bar.Separator(), "Vorführung 😀");
    EXPECT_FALSE(bar.Visible());

    GlobalProfile profile;
    EXPECT_TRUE(SettingsStore(path).LoadProfile(profile));
    EXPECT_EQ(profile, (GlobalProfile{11, -12, 640, 480, 3, 40, 0}));
}

TEST_F(SettingsStoreTest, StoringAndLoadingKeepsEveryValue) {
    const QString path = files_.NewPath();
    ApplicationSettings stored = Customised(1);
    EXPECT_TRUE(SettingsStore(path).StoreSettings(stored));
    EXPECT_EQ(stored, Customised(1));
    ApplicationSettings loaded;
    EXPECT_TRUE(SettingsStore(files_.CopyOf(path)).LoadSettings(loaded));
    EXPECT_EQ(loaded, stored);
}

TEST_F(SettingsStoreTest, EmptyFoldersLoadAndStoreAsTheDocumentsFolder) {
    const QString path = files_.Create("[MainSettings]\nScreenshot\\image_folder=\n");
    ApplicationSettings settings = Load(path);
    EXPECT_EQ(settings.Screenshot().Folder(), documents_.Path());
    ScreenshotSettings screenshot;
    settings.SetScreenshot(screenshot);
    EXPECT_TRUE(SettingsStore(path).StoreSettings(settings));
    EXPECT_EQ(settings.Screenshot().Folder(), documents_.Path());
    EXPECT_THAT(SettingsFiles::Read(path),
                ::testing::HasSubstr("image_folder=" + documents_.Path().toStdString()));
}

TEST_F(SettingsStoreTest, AMalformedValueKeepsItsDefaultWhileTheOthersLoad) {
    const QString path =
        files_.Create("[MainSettings]\nMainFrame\\regular_window_rect=\"10,20,30\"\n"
                      "MainFrame\\compact_window_width=20\n");
    ApplicationSettings settings;
    EXPECT_FALSE(SettingsStore(path).LoadSettings(settings));
    EXPECT_EQ(settings.MainFrame().WindowRect(), (Rect{200, 200, 500, 500}));
    EXPECT_FALSE(settings.MainFrame().HasWindowRect()) << "the first start's size, not the default";
    EXPECT_EQ(settings.MainFrame().CompactWindowWidth(), 20u);
}

TEST_F(SettingsStoreTest, ADamagedOrUnreadableStoreLoadsEveryDefault) {
    EXPECT_EQ(Load(files_.CopyOf(kFixtures + "damaged.ini")), Defaults());

    std::mt19937 random(7);
    QByteArray noise;
    for (int index = 0; index < 8192; ++index) {
        noise.append(static_cast<char>(random() % 256));
    }
    EXPECT_EQ(Load(files_.Create(noise)), Defaults());

    const QString directory = files_.NewPath();
    ASSERT_TRUE(QDir().mkdir(directory));
    EXPECT_EQ(Load(directory), Defaults());
}

// Limits every file this process writes to a few bytes while it lives, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int);
};

TEST_F(SettingsStoreTest, AStoreThatCannotBeWrittenReportsFailureAndKeepsThePreviousFile) {
    const QString path = files_.NewPath();
    ApplicationSettings settings = Customised(1);
    ASSERT_TRUE(SettingsStore(path).StoreSettings(settings));
    const std::string previous = SettingsFiles::Read(path);
    {
        // The previous file fits, the new one does not: the disk fills up while it is written.
        const FileSizeLimit fullDisk(previous.size() + 500);
        ApplicationSettings changed = Customised(2);
        CommandsToolbarSettings bar = changed.CommandsToolbar();
        bar.SetSeparator(QString(4000, u'x'));
        changed.SetCommandsToolbar(bar);
        EXPECT_FALSE(SettingsStore(path).StoreSettings(changed));
    }
    EXPECT_EQ(SettingsFiles::Read(path), previous);
    EXPECT_THAT(files_.FileNames(),
                ::testing::Each(::testing::MatchesRegex("settings[0-9]+\\.ini")));

    const QString blocker = files_.Create("a file, not a folder");
    ApplicationSettings unplaced = Customised(3);
    EXPECT_FALSE(SettingsStore(blocker + "/settings.ini").StoreSettings(unplaced));
}

TEST_F(SettingsStoreTest, StoresInTurnKeepTheLatestTreeAndEveryOtherValue) {
    const QString path = files_.NewPath();
    GlobalProfile profile{1, 2, 3, 4, 4, 150};
    EXPECT_TRUE(SettingsStore(path).StoreProfile(profile));
    ApplicationSettings first = Customised(1);
    ApplicationSettings second = Customised(2);
    EXPECT_TRUE(SettingsStore(path).StoreSettings(first));
    EXPECT_TRUE(SettingsStore(path).StoreSettings(second));

    const QString copy = files_.CopyOf(path);
    EXPECT_EQ(Load(copy), second);
    GlobalProfile loaded;
    EXPECT_FALSE(SettingsStore(copy).LoadProfile(loaded)) << "X, Y, Width and Height are missing";
    EXPECT_EQ(loaded, (GlobalProfile{0, 0, 100, 100, 4, 150})) << "only zoom and rate are written";
}

// Colours chosen for a model live beside the tree, survive its store at exit
// and belong to that model alone.
TEST_F(SettingsStoreTest, ModelColoursAreKeptPerModelFileBesideTheTree) {
    const QString path = files_.NewPath();
    const SettingsStore store(path);
    const QString tree = QString::fromLatin1(ApplicationSettings::kTreeKey);
    base::DisplayColors chosen;
    chosen[base::DisplayColors::Foreground] = base::ColorRef(0x0000FFu);
    chosen[base::DisplayColors::BacklightBackground] = base::ColorRef(0x123456u);
    EXPECT_FALSE(store.LoadModelColors(tree, QStringLiteral("lum745A.def")).has_value());
    EXPECT_TRUE(store.StoreModelColors(tree, QStringLiteral("/opt/Data/LUM745A.DEF"), chosen));
    ApplicationSettings settings = Customised(1);
    EXPECT_TRUE(store.StoreSettings(settings));

    EXPECT_EQ(store.LoadModelColors(tree, QStringLiteral("lum745a.def")), chosen);
    EXPECT_FALSE(store.LoadModelColors(tree, QStringLiteral("lum302plus.def")).has_value());
    EXPECT_EQ(Load(files_.CopyOf(path)), Customised(1)) << "the tree is disturbed";
    EXPECT_TRUE(store.ForgetModelColors(tree, QStringLiteral("Lum745A.def")));
    EXPECT_FALSE(store.LoadModelColors(tree, QStringLiteral("lum745A.def")).has_value());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("\n[MainSettings/ModelColors/half.def]\nforeground=255\nbackground=0\n");
    file.close();
    EXPECT_FALSE(store.LoadModelColors(tree, QStringLiteral("half.def")).has_value())
        << "two of the four colours were taken for all";
}

TEST_F(SettingsStoreTest, TheNativeStoreIsTheUsersVelmoraOmbrixFile) {
    const QString expectedPath = documents_.Home() + "/.config/Velmora/Ombrix.conf";
    const pid_t child = fork();
    if (child == 0) {
        // QSettings fixes the user's folder on first use, so only a fresh process sees the
        // temporary home; it stores nothing unless the store lies inside that home.
        const QString nativePath =
            QSettings(QSettings::NativeFormat, QSettings::UserScope, QSettingsStream::kOrganization,
                      QSettingsStream::kApplication)
                .fileName();
        ApplicationSettings settings = Customised(1);
        _exit(nativePath == expectedPath && SettingsStore().StoreSettings(settings) ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Load(files_.CopyOf(expectedPath)), Customised(1));
}

// Runs in a child process: stores the tree again and again, exiting 0 if every store worked.
pid_t StoreRepeatedlyInChild(const QString& path, const ApplicationSettings& settings) {
    const pid_t child = fork();
    if (child == 0) {
        bool stored = true;
        for (int round = 0; round < 10; ++round) {
            ApplicationSettings copy = settings;
            stored = SettingsStore(path).StoreSettings(copy) && stored;
        }
        _exit(stored ? 0 : 1);
    }
    return child;
}

TEST_F(SettingsStoreTest, TwoProcessesStoringAtOnceLeaveOneWholeTree) {
    const QString path = files_.NewPath();
    const ApplicationSettings first = Customised(1);
    const ApplicationSettings second = Customised(2);
    for (const pid_t child :
         {StoreRepeatedlyInChild(path, first), StoreRepeatedlyInChild(path, second)}) {
        ASSERT_GT(child, 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const ApplicationSettings loaded = Load(files_.CopyOf(path));
    EXPECT_TRUE(loaded == first || loaded == second);
}

} // namespace
} // namespace ombrix::settings
