#include "wizardparts.h"

#include "catalogue.h"
#include "mediaid.h"
#include "resourceids.h"

#include <QButtonGroup>
#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWizard>
#include <QWizardPage>

#include <memory>

using namespace res;

namespace importwizard {

void applyLook(QWizard* wizard, int captionString) {
    wizard->setWizardStyle(QWizard::ModernStyle);
    wizard->setOption(QWizard::HaveHelpButton, false);
    wizard->setWindowTitle(S(captionString));
    wizard->setPixmap(QWizard::LogoPixmap,
                      QPixmap::fromImage(CCatalogue::instance().image(IDB_WIZARD_HEADER)));
}

QString pageText(int dialog, int item) {
    return CCatalogue::instance().dialogText(dialog, item);
}

void setItem(QWidget* control, int item) {
    control->setObjectName(QStringLiteral("item%1").arg(item));
}

QLabel* titleLabel(const QString& text, int item, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(20);
    font.setWeight(QFont::Bold);
    label->setFont(font);
    label->setWordWrap(true);
    setItem(label, item);
    return label;
}

QTreeWidget* reportList(int item, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setColumnCount(0);
    list->header()->setStretchLastSection(false);
    list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setItem(list, item);
    return list;
}

void fillOverview(QTreeWidget* list, const QString& sourceHeader, const QString& destinationHeader,
                  const QString& mediaId, const QString& lastName, const QString& firstName) {
    list->clear();
    list->setColumnCount(2);
    list->setHeaderLabels({sourceHeader, destinationHeader});
    list->setColumnWidth(0, 120);
    list->setColumnWidth(1, 120);
    list->addTopLevelItem(new QTreeWidgetItem(QStringList{mediaId, S(IDS_MEDIAID)}));
    list->addTopLevelItem(new QTreeWidgetItem(QStringList{lastName, S(IDS_LAST_NAME)}));
    list->addTopLevelItem(new QTreeWidgetItem(QStringList{firstName, S(IDS_FIRST_NAME)}));
}

QString mediaTypeText(int mediaType) {
    switch (mediaType) {
    case MediaIButton:
        return S(IDS_MEDIA_IBUTTON);
    case MediaRfCard:
        return S(IDS_MEDIA_RFCARD);
    case MediaMagneticCard:
        return S(IDS_MEDIA_MAGCARD);
    default:
        return QStringLiteral("???");
    }
}

void setupPage(QWizardPage* page, int dialog, int titleString, int subTitleString) {
    page->setObjectName(QStringLiteral("dialog%1").arg(dialog));
    page->setWindowTitle(pageText(dialog, 0));
    // Interior pages have the header with its picture; exterior ones have none, and the
    // watermark down their left side instead.
    if (titleString)
        page->setTitle(S(titleString));
    if (subTitleString)
        page->setSubTitle(S(subTitleString));
    if (!titleString && !subTitleString) {
        page->setPixmap(QWizard::WatermarkPixmap,
                        QPixmap::fromImage(CCatalogue::instance().image(IDB_WIZARD_WATERMARK)));
    }
}

void initializeOnEveryVisit(QWizard* wizard, QWizardPage* page) {
    auto previous = std::make_shared<int>(wizard->currentId());
    QObject::connect(wizard, &QWizard::currentIdChanged, page, [wizard, page, previous](int id) {
        const bool back = id < *previous;
        *previous = id;
        if (back && wizard->page(id) == page)
            page->initializePage();
    });
}

void buildWelcome(QWizardPage* page, int dialog, int titleItem) {
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(titleLabel(pageText(dialog, titleItem), titleItem, page));
    layout->addSpacing(12);
    auto* intro = new QLabel(pageText(dialog, IDC_IMPORT_INTRO), page);
    intro->setWordWrap(true);
    setItem(intro, IDC_IMPORT_INTRO);
    layout->addWidget(intro);
    layout->addStretch(1);
    auto* next = new QLabel(pageText(dialog, IDC_IMPORT_CONTINUE), page);
    setItem(next, IDC_IMPORT_CONTINUE);
    layout->addWidget(next);
}

QGroupBox* mediaTypeGroup(int dialog, int iButtonItem, QButtonGroup* buttons, QWidget* parent) {
    auto* box = new QGroupBox(pageText(dialog, IDC_IMPORT_TYPE), parent);
    setItem(box, IDC_IMPORT_TYPE);
    auto* layout = new QHBoxLayout(box);
    const int items[] = {iButtonItem, IDC_IMPORT_RF, IDC_IMPORT_MAGNETIC};
    for (int type = 0; type < 3; ++type) {
        auto* radio = new QRadioButton(pageText(dialog, items[type]), box);
        setItem(radio, items[type]);
        buttons->addButton(radio, type);
        layout->addWidget(radio);
    }
    QAbstractButton* magnetic = buttons->button(MediaMagneticCard);
    magnetic->setEnabled(false);
    magnetic->setVisible(false);
    buttons->button(MediaIButton)->setChecked(true);
    return box;
}

} // namespace importwizard
