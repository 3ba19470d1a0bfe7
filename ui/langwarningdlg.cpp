#include "langwarningdlg.h"

#include "catalogue.h"
#include "resourceids.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

using namespace res;

CLangWarningDlg::CLangWarningDlg(bool showAgain, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CLangWarningDlg"));
    const CCatalogue& cat = CCatalogue::instance();
    setWindowTitle(cat.dialogText(IDD_LANGWARNING, 0));

    auto* grid = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size));
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);

    auto* text = new QLabel(cat.dialogText(IDD_LANGWARNING, IDC_STATIC), this);
    text->setObjectName(QStringLiteral("text"));
    text->setWordWrap(true);
    grid->addWidget(text, 0, 1);

    m_showAgain = new QCheckBox(cat.dialogText(IDD_LANGWARNING, IDC_LANG_SHOWAGAIN), this);
    m_showAgain->setObjectName(QStringLiteral("showAgain"));
    m_showAgain->setChecked(showAgain);
    grid->addWidget(m_showAgain, 1, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(cat.dialogText(IDD_LANGWARNING, IDOK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, 2, 0, 1, 2);
}

bool CLangWarningDlg::showAgain() const {
    return m_showAgain->isChecked();
}
