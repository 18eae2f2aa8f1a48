#include "shell/RecordingCommands.h"

#include "recording/RecordingFormat.h"
#include "recording/RecordingNames.h"
#include "shell/Artwork.h"
#include "shell/StatusMessages.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPixmap>
#include <QStatusBar>
#include <QWidget>

namespace ombrix::shell {

namespace {

using std::chrono::milliseconds;

constexpr QSize kButtonImage{24, 24};
constexpr milliseconds kProgressPeriod{500};

QString minutesAndSeconds(milliseconds time) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(time).count();
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
}

QString sizeText(std::int64_t bytes) {
    return QLocale().formattedDataSize(bytes);
}

void addImage(QIcon& icon, const QString& name, int scale, QIcon::State state) {
    QPixmap pixmap = QPixmap::fromImage(RenderToolbarStrip({name}, kButtonImage, scale));
    if (pixmap.isNull()) {
        return;
    }
    pixmap.setDevicePixelRatio(scale);
    icon.addPixmap(pixmap, QIcon::Normal, state);
}

} // namespace

RecordingCommands::RecordingCommands(CommandTable& commands, ApplicationServices& application,
                                     document::DocumentHost& document, QWidget& window,
                                     QStatusBar& statusBar)
    : application_(application), document_(document), window_(window), statusBar_(statusBar) {
    for (QAction* record : commands.Actions(CommandId::ScreenshotRecord)) {
        record->setIcon(RecordIcon());
    }
    commands.OnTriggered(CommandId::ScreenshotRecord, [this] { Toggle(); });
    pane_ = new QLabel;
    pane_->setObjectName(QStringLiteral("recordingPane"));
    pane_->setAccessibleName(tr("Recording"));
    pane_->setStyleSheet(QStringLiteral("color: #c8201a; font-weight: bold;"));
    pane_->hide();
    statusBar.addPermanentWidget(pane_);
    progress_.setInterval(kProgressPeriod);
    connect(&progress_, &QTimer::timeout, this, &RecordingCommands::showProgress);
    connect(&document_, &document::DocumentHost::frameChanged, this,
            &RecordingCommands::frameChanged);
    connect(&document_, &document::DocumentHost::statusTextChanged, this,
            &RecordingCommands::linkChanged);
}

RecordingCommands::~RecordingCommands() {
    Stop();
}

QIcon RecordingCommands::RecordIcon() {
    QIcon icon;
    for (const int scale : {1, 2}) {
        addImage(icon, QStringLiteral("record"), scale, QIcon::Off);
        addImage(icon, QStringLiteral("recording"), scale, QIcon::On);
    }
    return icon;
}

void RecordingCommands::Toggle() {
    if (Recording()) {
        Stop();
    } else {
        start();
    }
}

void RecordingCommands::start() {
    const std::shared_ptr<const document::Frame> frame = document_.frame();
    settings::ScreenshotSettings settings = application_.Settings().Screenshot();
    const std::optional<recording::RecordingFormat> format =
        recording::RecordingFormatAt(settings.RecordFormat());
    QString error;
    if (!frame) {
        error = tr("there is no instrument screen to record yet");
    } else if (!format) {
        error = tr("recording format %1 is unknown").arg(settings.RecordFormat());
    }
    const std::optional<recording::RecordingNames> names =
        error.isEmpty() ? recording::ReserveRecordingNames(settings, *format, error) : std::nullopt;
    if (!names) {
        statusBar_.showMessage(tr("The recording was not started: %1.").arg(error), kMessageMs);
        return;
    }
    // The number is used up, as a screenshot's is.
    settings.SetCounter(names->nextCounter);
    application_.Settings().SetScreenshot(settings);
    look_ = {true, application_.ScreenshotZoom(), settings.RecordCaptions()};
    recorder_ = recording::Recorder::Start(
        {names->video, names->subtitles, *format, look_, frame, document_.BlinkPhase(),
         look_.captions
             ? recording::CaptionStrip(recording::kLostText,
                                       recording::PictureSize(*frame, look_).width(), look_.zoom)
             : render::CLumImage()},
        error);
    if (!recorder_) {
        statusBar_.showMessage(tr("The recording was not started: %1.").arg(error), kMessageMs);
        return;
    }
    clock_.start();
    lastGeneration_ = frame->generation;
    lost_ = false;
    linkChanged();
    document_.KeepPolling(true);
    statusBar_.showMessage(tr("Recording to %1").arg(QDir::toNativeSeparators(names->video)),
                           kMessageMs);
    showProgress();
    pane_->show();
    progress_.start();
    emit recordingChanged();
}

// Waits for the recording thread to write what it was handed and close the file.
void RecordingCommands::Stop() {
    if (!recorder_) {
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const recording::RecordingOutcome outcome = recorder_->Stop(elapsed());
    QGuiApplication::restoreOverrideCursor();
    recorder_.reset();
    progress_.stop();
    pane_->hide();
    document_.KeepPolling(false);
    report(outcome);
    emit recordingChanged();
}

void RecordingCommands::EntryAdded(const QString& text) {
    if (recorder_) {
        recorder_->Entry(text, strip(text), elapsed());
    }
}

void RecordingCommands::BlinkTurned() {
    if (recorder_) {
        recorder_->Blink(document_.BlinkPhase(), elapsed());
    }
}

void RecordingCommands::frameChanged() {
    const std::shared_ptr<const document::Frame> frame = document_.frame();
    if (recorder_ && frame && frame->generation != lastGeneration_) {
        lastGeneration_ = frame->generation;
        recorder_->Frame(frame, elapsed());
    }
}

// The status text follows the link state: the recording marks the time the
// instrument was away.
void RecordingCommands::linkChanged() {
    const bool lost = document_.GetLinkState() != document::LinkState::Connected;
    if (recorder_ && lost != lost_) {
        lost_ = lost;
        recorder_->Lost(lost, elapsed());
    }
}

void RecordingCommands::showProgress() {
    if (recorder_ && recorder_->Ended()) {
        Stop();
        return;
    }
    pane_->setText(tr("\u25CF REC %1 \u00B7 %2")
                       .arg(minutesAndSeconds(elapsed()), sizeText(recorder_->Bytes())));
}

void RecordingCommands::report(const recording::RecordingOutcome& outcome) {
    const QString path = QDir::toNativeSeparators(outcome.path);
    const QString length = minutesAndSeconds(outcome.duration);
    const QString size = sizeText(outcome.bytes);
    if (outcome.error.isEmpty()) {
        const QString message =
            outcome.subtitlesPath.isEmpty()
                ? tr("Recording saved to %1 (%2, %3)").arg(path, length, size)
                : tr("Recording saved to %1 (%2, %3) with %4")
                      .arg(path, length, size, QFileInfo(outcome.subtitlesPath).fileName());
        statusBar_.showMessage(message, kMessageMs);
        return;
    }
    const QString message =
        outcome.playable
            ? tr("The recording stopped: %1. What was recorded is in %2 (%3, %4).")
                  .arg(outcome.error, path, length, size)
            : tr("The recording failed: %1. %2 may not play.").arg(outcome.error, path);
    statusBar_.showMessage(message, kMessageMs);
    auto* box =
        new QMessageBox(QMessageBox::Warning, tr("Record"), message, QMessageBox::Ok, &window_);
    box->setObjectName(QStringLiteral("recordingStoppedBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

milliseconds RecordingCommands::elapsed() const {
    return milliseconds(clock_.elapsed());
}

render::CLumImage RecordingCommands::strip(const QString& text) const {
    if (!look_.captions) {
        return {};
    }
    return recording::CaptionStrip(text, recorder_->PictureSize().width(), look_.zoom);
}

} // namespace ombrix::shell
