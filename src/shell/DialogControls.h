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

// Whether `name` holds none of the characters no file name may hold.
bool FileNameAllowed(const QString& name);

// Whether the text just typed into a file name field may be taken. One with a
// character no file name may hold is refused: the field keeps what was typed,
// so it can be corrected, and a message says which characters are refused
// when such a character comes in (`before` is the field's text before the
// edit), not again at every key while it stays.
bool TakesFileNameEdit(QLineEdit& field, const QString& typed, const QString& before);

} // namespace ombrix::shell
