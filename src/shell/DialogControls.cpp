#include "shell/DialogControls.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <algorithm>

namespace ombrix::shell {

namespace {

// Those no file name may hold on the instrument's home platform, in the order
// the refusal names them.
const QString kForbiddenCharacters = QStringLiteral("\\/:*?\"<>|");

std::ptrdiff_t forbiddenIn(const QString& text) {
    return std::count_if(text.begin(), text.end(),
                         [](QChar c) { return kForbiddenCharacters.contains(c); });
}

} // namespace

bool FileNameAllowed(const QString& name) {
    return forbiddenIn(name) == 0;
}

bool TakesFileNameEdit(QLineEdit& field, const QString& typed, const QString& before) {
    if (FileNameAllowed(typed)) {
        return true;
    }
    if (forbiddenIn(typed) > forbiddenIn(before)) {
        QMessageBox::critical(
            field.window(), field.window()->windowTitle(),
            QCoreApplication::translate("DialogControls", "File name cannot include ") +
                kForbiddenCharacters);
    }
    return false;
}

} // namespace ombrix::shell
