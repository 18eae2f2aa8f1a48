#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>

namespace ombrix::shell {

// A bar that floats in a small window of its own beside the main window and is
// never docked: a tool window owned by the main window, so it stays above it
// and goes with it when it is minimised.
class CFloatingBar : public QWidget {
    Q_OBJECT

public:
    CFloatingBar(const QString& caption, QWidget* content, QWidget* frame);

    // Places the bar's window with its top-left corner at `screenPoint`.
    void FloatAt(QPoint screenPoint);
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
