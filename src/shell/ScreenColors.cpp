#include "shell/ScreenColors.h"

#include "document/DocumentHost.h"
#include "shell/ApplicationServices.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScopeGuard>

namespace ombrix::shell {

ScreenColors::ScreenColors(document::DocumentHost& document, ApplicationServices& application)
    : document_(document), application_(application) {}

base::DisplayColors ScreenColors::Defaults() const {
    return document_.ModelColours();
}

base::DisplayColors ScreenColors::Current() const {
    return document_.Colours();
}

QString ScreenColors::ModelFile() const {
    return document_.ModelFileName();
}

bool ScreenColors::Apply(const base::DisplayColors& colours, const QString& modelFile,
                         bool modelsOwn) {
    show(colours);
    if (modelFile.isEmpty()) {
        return true;
    }
    return modelsOwn ? application_.ForgetModelColors(modelFile)
                     : application_.RememberModelColors(modelFile, colours);
}

void ScreenColors::ModelLoaded() {
    const QString file = ModelFile();
    const base::DisplayColors colours =
        application_.ModelColors(file).value_or(base::DisplayColors{});
    if (colours != Current()) {
        show(colours);
    }
}

// The screen is converted again at once and the icons recoloured, which
// takes a moment on a large icon panel.
void ScreenColors::show(const base::DisplayColors& colours) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    document_.SetColours(colours);
}

} // namespace ombrix::shell
