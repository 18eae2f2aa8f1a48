#include "shell/CStatusBar.h"

#include "shell/TextElision.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace ombrix::shell {

CStatusPane::CStatusPane(const QString& accessibleRole, QWidget* parent)
    : QLabel(parent), role_(accessibleRole) {
    setAccessibleName(role_);
}

// A screen reader says what the pane is for while it is empty.
void CStatusPane::SetText(const QString& text) {
    setText(text);
    setToolTip(text);
    setAccessibleName(text.isEmpty() ? role_ : text);
}

// As narrow as the layout likes: the text is cut to fit.
QSize CStatusPane::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void CStatusPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                          ElideKeepingName(text(), fontMetrics(), area.width()), foregroundRole());
}

CStatusBar::CStatusBar(QWidget* parent)
    : QStatusBar(parent), serial_(new CStatusPane(tr("Instrument"))),
      status_(new CStatusPane(tr("Session status"))) {
    serial_->setObjectName(QStringLiteral("serialPane"));
    status_->setObjectName(QStringLiteral("statusPane"));
    serial_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Permanent, so a message does not hide them: it shows in the status pane.
    addPermanentWidget(serial_);
    addPermanentWidget(status_, 1);
    connect(this, &QStatusBar::messageChanged, this, &CStatusBar::messageChanged);
}

void CStatusBar::SetSerial(const QString& text) {
    serial_->SetText(text);
    serial_->setVisible(!text.isEmpty());
}

void CStatusBar::SetStatus(const QString& text) {
    statusText_ = text;
    if (currentMessage().isEmpty()) {
        status_->SetText(text);
    }
}

void CStatusBar::messageChanged(const QString& message) {
    status_->SetText(message.isEmpty() ? statusText_ : message);
}

// The panel and the panes' frames; the message is the status pane's to draw.
void CStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOption panel;
    panel.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &panel, &painter, this);
    for (const QWidget* pane : {static_cast<QWidget*>(serial_), static_cast<QWidget*>(status_)}) {
        if (pane->isVisible()) {
            QStyleOption frame;
            frame.rect = pane->geometry().adjusted(-2, -1, 2, 1);
            frame.palette = palette();
            frame.state = QStyle::State_None;
            style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &painter, pane);
        }
    }
}

} // namespace ombrix::shell
