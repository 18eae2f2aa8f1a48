#pragma once

#include "base/Colors.h"
#include "settings/SettingsStream.h"

#include <QString>

namespace ombrix::settings {

// The screen colours a presenter chose for one model, kept under
// "<tree>/ModelColors/<model file name>" beside the tree's groups, so the
// values of those groups keep their names and meaning. A model without this
// group shows the colours of its model file.
class ModelColorsSettings {
public:
    static constexpr const char* kKey = "ModelColors";

    // The group of a model file (a path or a name): its name, lower case, as
    // model files are found whatever their case.
    static QString PathFor(const QString& treePath, const QString& modelFile);

    // True only when all four colours were exchanged.
    bool Exchange(SettingsStream& stream, const QString& path);

    base::DisplayColors colours;
};

} // namespace ombrix::settings
