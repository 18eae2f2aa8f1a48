#include "session/ProgramDirectory.h"

#include "ProgramFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace ombrix::session {
namespace {

using testing::ProgramFolder;

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
