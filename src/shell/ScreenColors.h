#pragma once

#include "base/Colors.h"

#include <QString>

namespace ombrix::document {
class DocumentHost;
}

namespace ombrix::shell {

class ApplicationServices;

// The colours the instrument's screen is shown in: the document's, changed
// through "Colors setup", and remembered per model file, so that a
// presenter's colours come back whenever an instrument of that model is
// connected, and no other model shows them.
class ScreenColors {
public:
    ScreenColors(document::DocumentHost& document, ApplicationServices& application);

    // The loaded model's own colours, the dialog's defaults.
    base::DisplayColors Defaults() const;
    base::DisplayColors Current() const;
    // The file name of the loaded model, whose colours these are; empty before one.
    QString ModelFile() const;
    // Colours confirmed in "Colors setup" for the model file `modelFile`:
    // shown at once and remembered for it, or forgotten when the person asked
    // for the model's own. False when the store could not be written.
    bool Apply(const base::DisplayColors& colours, const QString& modelFile, bool modelsOwn);
    // A model was loaded: the colours chosen for it before, else those every
    // run starts with.
    void ModelLoaded();

private:
    void show(const base::DisplayColors& colours);

    document::DocumentHost& document_;
    ApplicationServices& application_;
};

} // namespace ombrix::shell
