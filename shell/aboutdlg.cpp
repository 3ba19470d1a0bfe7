#include "aboutdlg.h"

#include "catalogue.h"
#include "resourceids.h"
#include "textformat.h"
#include "versioninfo.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

using namespace res;

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CAboutDlg"));
    const CCatalogue& cat = CCatalogue::instance();
    setWindowTitle(cat.dialogText(IDD_ABOUTBOX, 0));
    const CVersionInfo info = CVersionInfo::parse(CVersionInfo::versionText());

    auto* grid = new QGridLayout(this);
    auto* banner = new QLabel(this);
    banner->setPixmap(QPixmap::fromImage(cat.image(IDB_ABOUT_BANNER)));
    grid->addWidget(banner, 0, 0, 1, 3);

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap::fromImage(cat.image(IDI_PROGRAM)));
    grid->addWidget(icon, 1, 0, 2, 1, Qt::AlignTop);

    auto* name = new QLabel(cat.dialogText(IDD_ABOUTBOX, IDC_ABOUT_NAME), this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    grid->addWidget(name, 1, 1, 1, 2);

    m_version = new QLabel(info.version, this);
    m_version->setObjectName(QStringLiteral("version"));
    grid->addWidget(m_version, 2, 1);
    m_build =
        new QLabel(FormatText(cat.dialogText(IDD_ABOUTBOX, IDC_ABOUT_BUILD), {info.build}), this);
    m_build->setObjectName(QStringLiteral("build"));
    grid->addWidget(m_build, 2, 2);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(cat.dialogText(IDD_ABOUTBOX, IDOK), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, 3, 0, 1, 3);
    setWindowIcon(QIcon(QPixmap::fromImage(cat.image(IDI_PROGRAM))));
}

QString CAboutDlg::versionText() const {
    return m_version->text();
}
QString CAboutDlg::buildText() const {
    return m_build->text();
}
