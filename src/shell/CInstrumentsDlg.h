#pragma once

#include "link/UsbCandidates.h"
#include "link/UsbConnection.h"

#include <QDialog>
#include <QTimer>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ombrix::document {
class DocumentHost;
}

namespace ombrix::shell {

class ApplicationServices;

// "Instruments": what is attached, refreshed every second. The instruments
// the session found (serial, model, device path, free, in use, or why a
// device cannot be used), and every USB device that could be an instrument
// (read from its descriptors; nothing is sent to it), with a box that lists
// its vendor:product pair so the session opens it, and whether this user may
// open it. For a listed device this user may not open, it shows the commands
// that give the user at the seat access, with a Copy button. Modeless: the
// window goes on showing the instrument, and a device ticked is looked for at
// once.
class CInstrumentsDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 1000;

    CInstrumentsDlg(ApplicationServices& application, const document::DocumentHost& document,
                    QWidget* parent = nullptr);

    // Reads the bus and the session's last search again.
    void Refresh();

private:
    void showInstruments(const std::vector<link::DeviceProbe>& probes);
    void showCandidates(const std::vector<link::UsbCandidate>& candidates);
    void showAccessHelp();
    void candidateChanged(QTreeWidgetItem* item);
    bool listed(const link::UsbId& id) const;

    ApplicationServices& application_;
    const document::DocumentHost& document_;
    link::UsbCandidateScanner scanner_;
    std::vector<link::DeviceProbe> probes_;
    std::vector<link::UsbCandidate> candidates_;
    std::vector<link::UsbId> listedIds_;
    QTreeWidget* instruments_ = nullptr;
    QTreeWidget* candidatesList_ = nullptr;
    QLabel* candidatesNote_ = nullptr;
    QLabel* accessNote_ = nullptr;
    QPlainTextEdit* accessCommands_ = nullptr;
    QPushButton* copy_ = nullptr;
    QTimer refresh_;
};

} // namespace ombrix::shell
