#pragma once

#include <QString>
#include <QWidget>

namespace ombrix::shell {

// A bar that floats in a small window of its own beside the main window and is
// never docked: a tool window owned by the main window, so it stays above it
// and goes with it when it is minimised. Where it stands is FloatingBars'.
class CFloatingBar : public QWidget {
    Q_OBJECT

public:
    CFloatingBar(const QString& caption, QWidget* content, QWidget* frame);

    QWidget* content() const { return content_; }

signals:
    // The user closed the bar's window.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* content_;
};

} // namespace ombrix::shell
