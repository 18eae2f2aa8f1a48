#include "shell/CInstrumentsDlg.h"

#include "document/DocumentHost.h"
#include "link/ProbeReport.h"
#include "shell/ApplicationServices.h"
#include "shell/DialogControls.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace ombrix::shell {

namespace {

enum CandidateColumn { Use, Pair, Maker, Product, Device, Access, CandidateColumns };
enum InstrumentColumn { Serial, Model, Path, State, InstrumentColumns };

QTreeWidget* makeList(const char* name, const QString& label, const QStringList& headers) {
    auto* list = Named(new QTreeWidget, name, label);
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    return list;
}

QString stateOf(const link::DeviceProbe& probe) {
    switch (probe.outcome) {
    case link::DeviceProbe::Outcome::Identified:
        return QObject::tr("free");
    case link::DeviceProbe::Outcome::InUse:
        return QObject::tr("in use here");
    case link::DeviceProbe::Outcome::InUseElsewhere:
        return QObject::tr("in use by another program");
    default:
        return QString::fromStdString(link::ProbeReason(probe));
    }
}

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

} // namespace

CInstrumentsDlg::CInstrumentsDlg(ApplicationServices& application,
                                 const document::DocumentHost& document, QWidget* parent)
    : QDialog(parent), application_(application), document_(document) {
    setObjectName(QStringLiteral("instrumentsDialog"));
    setWindowTitle(tr("Instruments"));
    setAccessibleName(windowTitle());
    instruments_ = makeList("instrumentsList", tr("Instruments found"),
                            {tr("Serial"), tr("Model"), tr("Device"), tr("State")});
    candidatesList_ = makeList("candidatesList", tr("USB devices that could be instruments"),
                               {tr("Use"), tr("Vendor:product"), tr("Manufacturer"), tr("Product"),
                                tr("Device"), tr("Access")});
    candidatesNote_ = Named(new QLabel, "candidatesNote", tr("About the USB devices"));
    candidatesNote_->setWordWrap(true);
    accessNote_ = Named(new QLabel, "accessNote", tr("Access"));
    accessNote_->setWordWrap(true);
    accessCommands_ = Named(new QPlainTextEdit, "accessCommands", tr("Commands that give access"));
    accessCommands_->setReadOnly(true);
    accessCommands_->setMaximumHeight(fontMetrics().lineSpacing() * 5);
    copy_ = Named(new QPushButton(tr("&Copy")), "copyCommands", tr("Copy the commands"));
    connect(copy_, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(accessCommands_->toPlainText()); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Instruments the session found:")));
    layout->addWidget(instruments_);
    layout->addWidget(new QLabel(tr("USB devices that could be instruments. Only a ticked "
                                    "device is ever opened:")));
    layout->addWidget(candidatesList_);
    layout->addWidget(candidatesNote_);
    layout->addWidget(accessNote_);
    auto* commands = new QHBoxLayout;
    commands->addWidget(accessCommands_, 1);
    commands->addWidget(copy_, 0, Qt::AlignTop);
    layout->addLayout(commands);
    layout->addWidget(buttons);

    connect(candidatesList_, &QTreeWidget::itemChanged, this, &CInstrumentsDlg::candidateChanged);
    connect(&refresh_, &QTimer::timeout, this, &CInstrumentsDlg::Refresh);
    refresh_.start(kRefreshMs);
    resize(720, 480);
    Refresh();
}

// Lists are built anew only when what they show changed, so a row being
// looked at or ticked does not jump.
void CInstrumentsDlg::Refresh() {
    const std::vector<link::DeviceProbe> probes = document_.LastProbes();
    if (probes != probes_ || instruments_->topLevelItemCount() == 0) {
        probes_ = probes;
        showInstruments(probes_);
    }
    const auto candidates = scanner_.scan();
    candidatesNote_->setText(
        !candidates ? tr("USB devices cannot be listed on this system.")
        : candidates->empty()
            ? tr("No USB device with a vendor-specific interface of one bulk IN and one "
                 "bulk OUT endpoint is attached.")
            : QString());
    candidatesNote_->setVisible(!candidatesNote_->text().isEmpty());
    const std::vector<link::UsbId> ids =
        link::MergeUsbIds(application_.ChosenUsbIds(), application_.EnvironmentUsbIds());
    const std::vector<link::UsbCandidate> found =
        candidates.value_or(std::vector<link::UsbCandidate>{});
    if (found != candidates_ || ids != listedIds_) {
        candidates_ = found;
        listedIds_ = ids;
        showCandidates(candidates_);
    }
    showAccessHelp();
}

void CInstrumentsDlg::showInstruments(const std::vector<link::DeviceProbe>& probes) {
    instruments_->clear();
    for (const link::DeviceProbe& probe : probes) {
        auto* row = new QTreeWidgetItem(instruments_);
        row->setText(Serial, probe.serial ? QString::number(*probe.serial) : QString());
        row->setText(Model, text(probe.unit));
        row->setText(Path, text(probe.path));
        row->setText(State, stateOf(probe));
    }
    if (probes.empty()) {
        auto* row = new QTreeWidgetItem(instruments_);
        row->setText(State, tr("none found yet"));
    }
}

bool CInstrumentsDlg::listed(const link::UsbId& id) const {
    return std::find(listedIds_.begin(), listedIds_.end(), id) != listedIds_.end();
}

void CInstrumentsDlg::showCandidates(const std::vector<link::UsbCandidate>& candidates) {
    const QSignalBlocker quiet(candidatesList_);
    const std::vector<link::UsbId> environment = application_.EnvironmentUsbIds();
    candidatesList_->clear();
    for (const link::UsbCandidate& candidate : candidates) {
        auto* row = new QTreeWidgetItem(candidatesList_);
        const bool fromEnvironment =
            std::find(environment.begin(), environment.end(), candidate.id) != environment.end();
        row->setCheckState(Use, listed(candidate.id) ? Qt::Checked : Qt::Unchecked);
        if (fromEnvironment) {
            row->setFlags(row->flags() & ~Qt::ItemIsUserCheckable);
            row->setToolTip(Use, tr("Listed in OMBRIX_USB_IDS"));
        }
        row->setText(Pair, text(link::FormatUsbId(candidate.id)));
        row->setText(Maker, text(candidate.manufacturer));
        row->setText(Product, text(candidate.product));
        row->setText(Device, text(candidate.path));
        row->setText(Access, candidate.accessible ? tr("yes") : tr("not for this user"));
    }
}

void CInstrumentsDlg::showAccessHelp() {
    QStringList devices;
    QString commands;
    for (const link::UsbCandidate& candidate : candidates_) {
        if (listed(candidate.id) && !candidate.accessible) {
            devices << text(candidate.path + " (" + link::FormatUsbId(candidate.id) + ")");
            commands += text(link::UsbAccessCommands(candidate.id));
        }
    }
    accessNote_->setText(tr("This user may not open %1. These commands give the user at the "
                            "seat access to it:")
                             .arg(devices.join(QStringLiteral(", "))));
    if (accessCommands_->toPlainText() != commands) {
        accessCommands_->setPlainText(commands);
    }
    for (QWidget* part : {static_cast<QWidget*>(accessNote_),
                          static_cast<QWidget*>(accessCommands_), static_cast<QWidget*>(copy_)}) {
        part->setVisible(!devices.isEmpty());
    }
}

void CInstrumentsDlg::candidateChanged(QTreeWidgetItem* item) {
    const int row = candidatesList_->indexOfTopLevelItem(item);
    if (row < 0 || row >= static_cast<int>(candidates_.size())) {
        return;
    }
    if (!application_.ChooseUsbId(candidates_[static_cast<std::size_t>(row)].id,
                                  item->checkState(Use) == Qt::Checked)) {
        QMessageBox::warning(this, windowTitle(),
                             tr("The settings cannot be written: the choice holds until Ombrix "
                                "closes."));
    }
    Refresh();
}

} // namespace ombrix::shell
