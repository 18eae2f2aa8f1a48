#include "shell/ScreenColors.h"

#include "document/COmbrixDoc.h"
#include "shell/ApplicationServices.h"

#include <QCursor>
#include <QGuiApplication>

namespace ombrix::shell {

ScreenColors::ScreenColors(document::COmbrixDoc& doc, ApplicationServices& application)
    : doc_(doc), application_(application) {}

base::DisplayColors ScreenColors::Defaults() const {
    return doc_.Model().model().colors;
}

base::DisplayColors ScreenColors::Current() const {
    return doc_.GetColours();
}

bool ScreenColors::Apply(const base::DisplayColors& colours) {
    show(colours);
    const QString file = modelFile();
    if (file.isEmpty()) {
        return true;
    }
    return application_.RememberModelColors(file, colours == Defaults() ? std::nullopt
                                                                        : std::optional(colours));
}

void ScreenColors::ModelLoaded() {
    const QString file = modelFile();
    if (const std::optional<base::DisplayColors> chosen =
            file.isEmpty() ? std::nullopt : application_.ModelColors(file)) {
        show(*chosen);
    }
}

// The screen is converted again at once and the icons recoloured, which
// takes a moment on a large icon panel.
void ScreenColors::show(const base::DisplayColors& colours) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    doc_.SetColours(colours);
    doc_.ReloadIconImages();
    QGuiApplication::restoreOverrideCursor();
}

QString ScreenColors::modelFile() const {
    const std::optional<session::ModelSelection> selection = doc_.SyncInfo().selection();
    if (!selection || doc_.Model().model().hardwareName.isEmpty()) {
        return {};
    }
    return QString::fromStdU16String(selection->modelPath.filename().u16string());
}

} // namespace ombrix::shell
