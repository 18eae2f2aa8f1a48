#include "shell/CCursorSettingsDlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>

namespace ombrix::shell {

namespace {

struct SizeChoice {
    const char* text;
    const char* name;
};

constexpr std::array<SizeChoice, 3> kSizes = {{
    {QT_TRANSLATE_NOOP("ombrix::shell::CCursorSettingsDlg", "Small (32x32 pixels)"), "cursorSmall"},
    {QT_TRANSLATE_NOOP("ombrix::shell::CCursorSettingsDlg", "Medium (48x48 pixels)"),
     "cursorMedium"},
    {QT_TRANSLATE_NOOP("ombrix::shell::CCursorSettingsDlg", "Large (256x256 pixels)"),
     "cursorLarge"},
}};

} // namespace

CCursorSettingsDlg::CCursorSettingsDlg(const settings::CursorSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("cursorDialog"));
    setWindowTitle(tr("Cursor"));
    setAccessibleName(tr("Cursor"));
    auto* group = new QGroupBox(tr("Cursor size"));
    group->setObjectName(QStringLiteral("cursorSizeGroup"));
    group->setAccessibleName(group->title());
    auto* groupLayout = new QVBoxLayout(group);
    for (std::size_t size = 0; size < kSizes.size(); ++size) {
        auto* button = new QRadioButton(tr(kSizes[size].text));
        button->setObjectName(QString::fromLatin1(kSizes[size].name));
        button->setAccessibleName(button->text());
        button->setChecked(settings.Size() == size);
        sizes_.addButton(button, static_cast<int>(size));
        groupLayout->addWidget(button);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("cursorButtons"));
    buttons->setAccessibleName(tr("OK or Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

settings::CursorSettings CCursorSettingsDlg::Settings() const {
    settings::CursorSettings chosen = settings_;
    if (sizes_.checkedId() >= 0) {
        chosen.SetSize(static_cast<std::uint32_t>(sizes_.checkedId()));
    }
    return chosen;
}

} // namespace ombrix::shell
