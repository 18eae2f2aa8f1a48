#pragma once

#include "settings/CursorSettings.h"

#include <QButtonGroup>
#include <QDialog>

namespace ombrix::shell {

// "Cursor": the size of the presentation mouse cursors, on a copy of the
// cursor settings that the caller takes back after OK.
class CCursorSettingsDlg : public QDialog {
    Q_OBJECT

public:
    CCursorSettingsDlg(const settings::CursorSettings& settings, QWidget* parent = nullptr);

    // The settings with the chosen size; a size no button has stays unless one
    // was chosen.
    settings::CursorSettings Settings() const;

private:
    settings::CursorSettings settings_;
    QButtonGroup sizes_;
};

} // namespace ombrix::shell
