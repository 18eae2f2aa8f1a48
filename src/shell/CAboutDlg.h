#pragma once

#include <QDialog>

namespace ombrix::shell {

// "About Ombrix": the application icon, the version and what the program does.
class CAboutDlg : public QDialog {
public:
    static constexpr const char* kVersionText = "Ombrix Version 1.9.3";

    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace ombrix::shell
