#pragma once

#include <QString>

class QLineEdit;

namespace ombrix::shell {

// Gives a dialog's control the name tests find it by and the name a screen
// reader says.
template <typename Widget> Widget* Named(Widget* widget, const char* name, const QString& label) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(label);
    return widget;
}

// Whether the text just typed into a file name field may be taken. A name
// no file may have is refused: the field gets `previous` back and the message
// says which characters are refused.
bool TakesFileNameEdit(QLineEdit& field, const QString& typed, const QString& previous);

} // namespace ombrix::shell
