#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <string>
#include <vector>

namespace ombrix::settings {

// Settings files in a fresh temporary folder, so no test touches the user's store. Every
// file gets a new name: QSettings shares what it parsed of a path within the process, and
// only a new name makes it parse the bytes on disk.
class SettingsFiles {
public:
    QString NewPath() { return dir_.filePath(QStringLiteral("settings%1.ini").arg(++count_)); }

    QString Create(const QByteArray& content) {
        const QString path = NewPath();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            return {};
        }
        return path;
    }

    QString CopyOf(const QString& path) {
        const QString copy = NewPath();
        return QFile::copy(path, copy) ? copy : QString();
    }

    // Names of the files in the folder, to find strays such as staging copies or lock files.
    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (const QString& name : QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden)) {
            names.push_back(name.toStdString());
        }
        return names;
    }

    static std::string Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

private:
    QTemporaryDir dir_;
    int count_ = 0;
};

// Points the user's home, and so the documents folder and the native settings store, at a
// temporary folder while it lives; the documents folder is its "Akten" folder.
class TemporaryDocumentsFolder {
public:
    TemporaryDocumentsFolder() {
        QDir(home_.path()).mkpath(QStringLiteral(".config"));
        QFile userDirs(home_.filePath(QStringLiteral(".config/user-dirs.dirs")));
        if (userDirs.open(QIODevice::WriteOnly)) {
            userDirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Akten\"\n");
        }
        qputenv("HOME", QFile::encodeName(home_.path()));
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~TemporaryDocumentsFolder() {
        qputenv("HOME", savedHome_);
        if (hadConfigHome_) {
            qputenv("XDG_CONFIG_HOME", savedConfigHome_);
        }
    }
    TemporaryDocumentsFolder(const TemporaryDocumentsFolder&) = delete;
    TemporaryDocumentsFolder& operator=(const TemporaryDocumentsFolder&) = delete;

    QString Home() const { return home_.path(); }
    QString Path() const { return home_.filePath(QStringLiteral("Akten")); }

private:
    QByteArray savedHome_ = qgetenv("HOME");
    bool hadConfigHome_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    QByteArray savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
    QTemporaryDir home_;
};

} // namespace ombrix::settings
