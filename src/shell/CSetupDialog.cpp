#include "shell/CSetupDialog.h"

#include "shell/CColorButton.h"
#include "shell/DialogControls.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ombrix::shell {

namespace {

using Index = base::DisplayColors::Index;

struct ColorRow {
    Index index;
    const char* label;
    const char* name;
};

// As the dialog lists them.
constexpr std::array<ColorRow, 4> kRows{{
    {Index::Foreground, QT_TRANSLATE_NOOP("ombrix::shell::CSetupDialog", "Foreground"),
     "foregroundColor"},
    {Index::Background, QT_TRANSLATE_NOOP("ombrix::shell::CSetupDialog", "Background"),
     "backgroundColor"},
    {Index::BacklightForeground,
     QT_TRANSLATE_NOOP("ombrix::shell::CSetupDialog", "Backlight Foreground"),
     "backlightForegroundColor"},
    {Index::BacklightBackground,
     QT_TRANSLATE_NOOP("ombrix::shell::CSetupDialog", "Backlight Background"),
     "backlightBackgroundColor"},
}};

} // namespace

CSetupDialog::CSetupDialog(const base::DisplayColors& defaults, QWidget* parent)
    : QDialog(parent), defaults_(defaults) {
    setObjectName(QStringLiteral("colorsSetupDialog"));
    setWindowTitle(tr("Colors setup"));
    setAccessibleName(windowTitle());
    auto* grid = new QGridLayout;
    for (int row = 0; row < static_cast<int>(kRows.size()); ++row) {
        const QString label = tr(kRows[row].label);
        auto* button = Named(new CColorButton, kRows[row].name, label);
        buttons_[kRows[row].index] = button;
        grid->addWidget(new QLabel(label), row, 0);
        grid->addWidget(button, row, 1);
        connect(button, &QPushButton::clicked, this, [this, button] { choose(*button); });
    }
    auto* defaultsButton = Named(new QPushButton(tr("Set default values")), "setDefaultColors",
                                 tr("Set default values"));
    connect(defaultsButton, &QPushButton::clicked, this, &CSetupDialog::setDefaults);
    auto* buttons = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel),
                          "colorsButtons", tr("OK or Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(defaultsButton, 0, Qt::AlignLeft);
    layout->addWidget(buttons);
    SetColors(defaults_);
    // The keyboard starts on the colours, not on OK, which Space would press.
    buttons_[Index::Foreground]->setFocus();
}

void CSetupDialog::SetColors(const base::DisplayColors& colors) {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->SetColor(colors.colours[i]);
    }
}

base::DisplayColors CSetupDialog::Colors() const {
    base::DisplayColors colors;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        colors.colours[i] = buttons_[i]->Color();
    }
    return colors;
}

// A cancelled chooser changes nothing.
void CSetupDialog::choose(CColorButton& button) {
    const QColor chosen = QColorDialog::getColor(ToQColor(button.Color()), this);
    if (chosen.isValid()) {
        button.SetColor(FromQColor(chosen));
        changed_ = true;
        defaultsChosen_ = false;
    }
}

void CSetupDialog::setDefaults() {
    SetColors(defaults_);
    changed_ = true;
    defaultsChosen_ = true;
}

} // namespace ombrix::shell
