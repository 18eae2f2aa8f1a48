#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QString>

namespace ombrix::shell {

// A pane of the status bar: its whole text is its text(), its tool tip and
// its accessible name; it is drawn cut in the middle (ElideKeepingName) when
// the pane is narrower.
class CStatusPane : public QLabel {
    Q_OBJECT

public:
    explicit CStatusPane(const QString& accessibleRole, QWidget* parent = nullptr);

    void SetText(const QString& text);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString role_;
};

// The window's status bar: pane 0 the instrument ("#" and its serial), as wide
// as its text; pane 1 the session's status, taking the rest. A message
// (showMessage) shows in pane 1 in its place until it times out, cut the same
// way, rather than over both panes.
class CStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit CStatusBar(QWidget* parent = nullptr);

    void SetSerial(const QString& text);
    void SetStatus(const QString& text);
    CStatusPane& SerialPane() const { return *serial_; }
    CStatusPane& StatusPane() const { return *status_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void messageChanged(const QString& message);

    CStatusPane* serial_;
    CStatusPane* status_;
    QString statusText_;
};

} // namespace ombrix::shell
