#include "session/FileLookup.h"

#include "ProgramFolder.h"
#include "session/ProgramDirectory.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace ombrix::session {
namespace {

using testing::ProgramFolder;

TEST(FindFileIgnoringCaseTest, TheExactNameWinsThenTheLowestOtherSpelling) {
    const ProgramFolder folder;
    const auto upper = folder.add("LUM746.DEF");
    const auto exact = folder.add("lum746.def");
    folder.add("Lum746.def");
    EXPECT_EQ(findFileIgnoringCase(folder.root(), "lum746.def"), exact);
    EXPECT_EQ(findFileIgnoringCase(folder.root(), "lUm746.dEf"), upper);
    EXPECT_EQ(findFileIgnoringCase(folder.root(), "lum745A_ru.def"), "");
}

TEST(FindFileIgnoringCaseTest, OnlyRegularFilesDirectlyInTheFolderCount) {
    const ProgramFolder folder;
    folder.addFolder("lum746.def");
    folder.addFolder("LUM747.DEF");
    folder.add("Data/lum748.def");
    EXPECT_EQ(findFileIgnoringCase(folder.root(), "lum746.def"), "");
    EXPECT_EQ(findFileIgnoringCase(folder.root(), "lum747.def"), "");
    EXPECT_EQ(findFileIgnoringCase(folder.root(), "lum748.def"), "");
    EXPECT_EQ(findFileIgnoringCase(folder.root(), "Data/lum748.def"), "");
    EXPECT_EQ(findFileIgnoringCase(folder.root() / "Data", "../Data/lum748.def"), "");
    EXPECT_EQ(findFileIgnoringCase(folder.root() / "missing", "lum748.def"), "");
}

TEST(ProgramDirectoryTest, ModelFolderThenExecutableFolderWithDataThenShareFolder) {
    const ProgramFolder folder;
    const auto bin = folder.root() / "bin";
    folder.add("bin/Data"); // a file, not a folder
    EXPECT_EQ(ProgramDirectory(std::nullopt, bin), folder.root() / "share" / "ombrix");
    std::filesystem::remove(bin / "Data");
    folder.addFolder("bin/Data");
    EXPECT_EQ(ProgramDirectory(std::nullopt, bin), bin);
    EXPECT_EQ(ProgramDirectory(std::filesystem::path("/models"), bin), "/models");
}

TEST(ProgramDirectoryTest, ReadsTheEnvironmentUnlessEmptyAndTheExecutableFolder) {
    EXPECT_TRUE(std::filesystem::is_regular_file(executableDirectory() / "session_tests"));
    ASSERT_EQ(::setenv(kModelDirVariable, "/somewhere/models", 1), 0);
    EXPECT_EQ(ProgramDirectory(), "/somewhere/models");
    ASSERT_EQ(::setenv(kModelDirVariable, "", 1), 0);
    EXPECT_EQ(ProgramDirectory(), ProgramDirectory(std::nullopt, executableDirectory()));
    ::unsetenv(kModelDirVariable);
}

} // namespace
} // namespace ombrix::session
