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

} // namespace

bool TakesFileNameEdit(QLineEdit& field, const QString& typed, const QString& previous) {
    if (std::none_of(typed.begin(), typed.end(),
                     [](QChar c) { return kForbiddenCharacters.contains(c); })) {
        return true;
    }
    field.setText(previous);
    QMessageBox::critical(
        field.window(), field.window()->windowTitle(),
        QCoreApplication::translate("DialogControls", "File name cannot include ") +
            kForbiddenCharacters);
    return false;
}

} // namespace ombrix::shell
