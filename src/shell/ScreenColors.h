#pragma once

#include "base/Colors.h"

#include <QString>

namespace ombrix::document {
class COmbrixDoc;
}

namespace ombrix::shell {

class ApplicationServices;

// The colours the instrument's screen is shown in: the document's, changed
// through "Colors setup", and remembered per model file, so that a
// presenter's colours come back whenever an instrument of that model is
// connected.
class ScreenColors {
public:
    ScreenColors(document::COmbrixDoc& doc, ApplicationServices& application);

    // The loaded model's own colours, the dialog's defaults.
    base::DisplayColors Defaults() const;
    base::DisplayColors Current() const;
    // Colours confirmed in "Colors setup": shown at once and remembered for the
    // model, or forgotten when they are its own. False when they could not be
    // remembered.
    bool Apply(const base::DisplayColors& colours);
    // A model was loaded: the colours chosen for it before come back.
    void ModelLoaded();

private:
    void show(const base::DisplayColors& colours);
    QString modelFile() const;

    document::COmbrixDoc& doc_;
    ApplicationServices& application_;
};

} // namespace ombrix::shell
