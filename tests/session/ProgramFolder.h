#pragma once

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

namespace ombrix::session::testing {

// A throw-away program directory into which tests put model files.
class ProgramFolder {
public:
    std::filesystem::path root() const { return dir_.path().toStdString(); }

    // Creates an empty file (and its folders) at `relative` below the root.
    std::filesystem::path add(const std::filesystem::path& relative) const {
        const std::filesystem::path path = root() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "[Main]\n";
        return path;
    }

    void addFolder(const std::filesystem::path& relative) const {
        std::filesystem::create_directories(root() / relative);
    }

private:
    QTemporaryDir dir_;
};

} // namespace ombrix::session::testing
