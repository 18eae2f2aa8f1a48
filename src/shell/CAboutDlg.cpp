#include "shell/CAboutDlg.h"

#include "shell/Artwork.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

namespace ombrix::shell {

namespace {

constexpr int kIconSide = 64;

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("About Ombrix"));
    setAccessibleName(tr("About Ombrix"));

    auto* icon = new QLabel;
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setAccessibleName(tr("Ombrix icon"));
    icon->setPixmap(ApplicationIcon().pixmap(kIconSide, kIconSide));
    auto* version = new QLabel(QStringLiteral("Ombrix Version " OMBRIX_VERSION));
    version->setObjectName(QStringLiteral("aboutVersion"));
    version->setAccessibleName(version->text());
    auto* purpose = new QLabel(tr("Shows an instrument's screen live on the PC and presses its "
                                  "keys from there."));
    purpose->setObjectName(QStringLiteral("aboutPurpose"));
    purpose->setAccessibleName(purpose->text());
    purpose->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->setObjectName(QStringLiteral("aboutButtons"));
    buttons->setAccessibleName(tr("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(purpose, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace ombrix::shell
