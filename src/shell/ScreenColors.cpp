#include "shell/ScreenColors.h"

#include "document/COmbrixDoc.h"
#include "shell/ApplicationServices.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScopeGuard>

namespace ombrix::shell {

ScreenColors::ScreenColors(document::COmbrixDoc& doc, ApplicationServices& application)
    : doc_(doc), application_(application) {}

base::DisplayColors ScreenColors::Defaults() const {
    return doc_.Model().model().colors;
}

base::DisplayColors ScreenColors::Current() const {
    return doc_.GetColours();
}

QString ScreenColors::ModelFile() const {
    return QFileInfo(doc_.LoadedModelPath()).fileName();
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
    doc_.SetColours(colours);
}

} // namespace ombrix::shell
