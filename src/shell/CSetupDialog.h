#pragma once

#include "base/Colors.h"

#include <QDialog>
#include <array>

namespace ombrix::shell {

class CColorButton;

// "Colors setup": the four screen colours, each on a button that opens a
// colour chooser, and "Set default values" for the model's own. The caller
// presets the colours in effect and, after OK, applies them only when Changed.
class CSetupDialog : public QDialog {
    Q_OBJECT

public:
    // `defaults`: the model file's colours.
    explicit CSetupDialog(const base::DisplayColors& defaults, QWidget* parent = nullptr);

    void SetColors(const base::DisplayColors& colors);
    base::DisplayColors Colors() const;
    bool Changed() const { return changed_; }
    // "Set default values" was the last change: the model's own colours are
    // wanted, not colours that happen to equal them.
    bool DefaultsChosen() const { return defaultsChosen_; }

private:
    void choose(CColorButton& button);
    void setDefaults();

    base::DisplayColors defaults_;
    bool changed_ = false;
    bool defaultsChosen_ = false;
    // In the order of base::DisplayColors::Index.
    std::array<CColorButton*, 4> buttons_{};
};

} // namespace ombrix::shell
