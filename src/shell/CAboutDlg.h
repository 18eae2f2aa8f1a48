#pragma once

#include <QDialog>

namespace ombrix::shell {

// "About Ombrix": the application icon, the version and what the program does.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace ombrix::shell
