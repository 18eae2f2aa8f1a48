#include "SettingsFiles.h"
#include "settings/QSettingsStream.h"

#include <array>
#include <bit>
#include <clocale>
#include <cstdint>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace ombrix::settings {
namespace {

using base::Rect;

constexpr std::uint32_t kUntouched = 99;

class QSettingsStreamTest : public ::testing::Test {
protected:
    // A loading stream with key "K" open over a file holding the given value line.
    std::unique_ptr<QSettingsStream> LoadKey(const QByteArray& valueLine) {
        auto stream = std::make_unique<QSettingsStream>(files_.Create("[K]\n" + valueLine), false);
        stream->OpenKey(QStringLiteral("K"));
        return stream;
    }

    SettingsFiles files_;
};

TEST_F(QSettingsStreamTest, ReadsOnlyWholeIntegersThatFitTheirWidth) {
    const std::pair<const char*, std::optional<std::uint32_t>> dwords[] = {
        {"42", 42},
        {" 7 ", 7},
        {"4294967295", 0xFFFFFFFFu},
        {"-1", 0xFFFFFFFFu},
        {"abc", {}},
        {"12abc", {}},
        {"", {}},
        {"1.5", {}},
        {"\"1,2\"", {}},
        {"4294967296", {}},
        {"@ByteArray(7)", {}}};
    for (const auto& [text, expected] : dwords) {
        std::uint32_t value = kUntouched;
        EXPECT_EQ(LoadKey(QByteArray("v=") + text)->ReadDword(QStringLiteral("v"), value),
                  expected.has_value())
            << text;
        EXPECT_EQ(value, expected.value_or(kUntouched)) << text;
    }
}

TEST_F(QSettingsStreamTest, ReadsRectanglesOfExactlyFourNumbers) {
    const Rect untouched{1, 2, 3, 4};
    const std::pair<const char*, std::optional<Rect>> rects[] = {
        {"\"-5,0,100,200\"", Rect{-5, 0, 100, 200}},
        {"10, 20,30,40", Rect{10, 20, 30, 40}},
        {"\"10,20,30\"", {}},
        {"\"10,20,30,40,50\"", {}},
        {"\"10,,30,40\"", {}},
        {"\"1,2,3,99999999999\"", {}}};
    for (const auto& [text, expected] : rects) {
        Rect rect = untouched;
        EXPECT_EQ(LoadKey(QByteArray("r=") + text)->ReadRect(QStringLiteral("r"), rect),
                  expected.has_value())
            << text;
        EXPECT_EQ(rect, expected.value_or(untouched)) << text;
    }
}

TEST_F(QSettingsStreamTest, ReadsBooleansOnlyFromNumbers) {
    bool flag = false;
    EXPECT_TRUE(LoadKey("b=7")->ReadBool(QStringLiteral("b"), flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(LoadKey("b=yes")->ReadBool(QStringLiteral("b"), flag));
    EXPECT_TRUE(flag);
}

TEST_F(QSettingsStreamTest, ReadsPlainTextUpToItsFirstNul) {
    QString text;
    EXPECT_FALSE(LoadKey("v=@ByteArray(abc)")->ReadString("v", text));
    EXPECT_TRUE(LoadKey("v=a, b")->ReadString("v", text));
    EXPECT_EQ(text, "a,b");

    QSettingsStream stream(files_.NewPath(), true);
    ASSERT_TRUE(stream.OpenKey("K"));
    ASSERT_TRUE(stream.WriteString("v", QString("a") + QChar(u'\0') + "b"));
    EXPECT_TRUE(stream.ReadString("v", text));
    EXPECT_EQ(text, "a");
}

TEST_F(QSettingsStreamTest, WritesEveryTypeInItsTextForm) {
    const QString path = files_.NewPath();
    QSettingsStream stream(path, true);
    ASSERT_TRUE(stream.OpenKey(QStringLiteral("Main/Sub")));
    EXPECT_TRUE(stream.WriteDword("d", 0xFFFFFFFFu));
    EXPECT_TRUE(stream.WriteBool("b", true));
    EXPECT_TRUE(stream.WriteString("s", QStringLiteral("Grüße 日本 😀")));
    EXPECT_TRUE(stream.WriteRect("r", Rect{-5, 0, 1920, 1080}));
    EXPECT_TRUE(stream.Close().Close().IsStoring());
    EXPECT_TRUE(stream.Commit());
    const std::string text = SettingsFiles::Read(path);
    for (const char* line : {"[Main]\n", "Sub\\d=4294967295\n", "Sub\\b=1\n",
                             "Sub\\s=Grüße 日本 😀\n", "Sub\\r=\"-5,0,1920,1080\"\n"}) {
        EXPECT_THAT(text, ::testing::HasSubstr(line));
    }
}

TEST_F(QSettingsStreamTest, RefusesWhatItsDirectionOrOpenKeyDoesNotAllow) {
    const QString path = files_.Create("[K]\nv=1\n[K/Sub]\nw=2\n");
    QSettingsStream loading(path, false);
    std::uint32_t value = kUntouched;
    EXPECT_FALSE(loading.ReadDword("v", value)) << "no key is open";
    ASSERT_TRUE(loading.OpenKey("K"));
    EXPECT_FALSE(loading.WriteDword("v", 5));
    EXPECT_FALSE(loading.DeleteSubKey("Sub"));
    EXPECT_FALSE(loading.DeleteAllSubKeys());
    EXPECT_FALSE(loading.ReadDword("Sub/w", value)) << "values are never addressed by a path";
    EXPECT_FALSE(loading.ReadDword("", value));
    EXPECT_FALSE(loading.OpenDefaultUserKey("K"));
    EXPECT_FALSE(loading.ReadDword("v", value)) << "the failed open left no key open";
    EXPECT_EQ(value, kUntouched);

    QSettingsStream storing(path, true);
    ASSERT_TRUE(storing.OpenKey("K"));
    EXPECT_FALSE(storing.WriteDword("Sub\\w", 5));
    storing.Close();
    EXPECT_FALSE(storing.WriteDword("v", 5));
    EXPECT_TRUE(storing.Commit());
    EXPECT_EQ(SettingsFiles::Read(path), "[K]\nv=1\n[K/Sub]\nw=2\n");
}

TEST_F(QSettingsStreamTest, WritesNothingToTheFileBeforeCommit) {
    const QString path = files_.Create("[K]\nv=1\n");
    QSettingsStream stream(path, true);
    ASSERT_TRUE(stream.OpenKey("K"));
    ASSERT_TRUE(stream.WriteDword("v", 2) && stream.WriteDword("w", 3));
    EXPECT_EQ(SettingsFiles::Read(path), "[K]\nv=1\n");
    EXPECT_TRUE(stream.Commit());
    EXPECT_EQ(SettingsFiles::Read(path), "[K]\nv=2\nw=3\n");
}

TEST_F(QSettingsStreamTest, DeletesSubKeysWithEverythingBelowButNotTheOpenKeysValues) {
    const QString path = files_.Create("[K]\nA=1\nv=2\nA\\x=3\nA\\B\\y=4\nC\\z=5\n");
    QSettingsStream stream(path, true);
    ASSERT_TRUE(stream.OpenKey("K"));
    EXPECT_TRUE(stream.DeleteSubKey("A"));
    EXPECT_FALSE(stream.DeleteSubKey("A"));
    EXPECT_TRUE(stream.Commit());
    EXPECT_EQ(SettingsFiles::Read(path), "[K]\nA=1\nC\\z=5\nv=2\n");
    EXPECT_TRUE(stream.DeleteAllSubKeys());
    EXPECT_TRUE(stream.Commit());
    EXPECT_EQ(SettingsFiles::Read(path), "[K]\nA=1\nv=2\n");
}

// Switches the C and C++ locales to German while it lives, if that locale is installed.
class GermanLocale {
public:
    GermanLocale() {
        try {
            std::locale::global(std::locale("de_DE.UTF-8"));
            active_ = true;
        } catch (const std::runtime_error&) {
            active_ = false;
        }
    }
    ~GermanLocale() {
        std::locale::global(saved_);
        std::setlocale(LC_ALL, savedC_.c_str());
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

    bool Active() const { return active_; }

private:
    std::locale saved_;
    std::string savedC_ = std::setlocale(LC_ALL, nullptr);
    bool active_ = false;
};

TEST_F(QSettingsStreamTest, NumbersIgnoreAGermanLocale) {
    const GermanLocale german;
    if (!german.Active()) {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    }
    const QString path = files_.NewPath();
    {
        QSettingsStream stream(path, true);
        ASSERT_TRUE(stream.OpenKey("K"));
        ASSERT_TRUE(stream.WriteRect("r", Rect{1200, -3400, 56000, 7800}));
        ASSERT_TRUE(stream.WriteDword("d", 1234567));
        ASSERT_TRUE(stream.Commit());
    }
    EXPECT_EQ(SettingsFiles::Read(path), "[K]\nd=1234567\nr=\"1200,-3400,56000,7800\"\n");
    Rect rect;
    EXPECT_TRUE(LoadKey("r=\"1200,-3400,56000,7800\"")->ReadRect("r", rect));
    EXPECT_EQ(rect, (Rect{1200, -3400, 56000, 7800}));
    std::uint32_t value = kUntouched;
    EXPECT_FALSE(LoadKey("d=1.200")->ReadDword("d", value));
    EXPECT_FALSE(LoadKey("r=\"1.200,0,1,2\"")->ReadRect("r", rect));
}

} // namespace
} // namespace ombrix::settings
