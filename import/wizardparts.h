#pragma once

#include <QString>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTreeWidget;
class QWidget;
class QWizard;
class QWizardPage;

// Pieces the pages of both import wizards share.
namespace importwizard {

// The sheet's look: modern style with our header picture, no Help button, the caption from
// the string table.
void applyLook(QWizard* wizard, int captionString);
// A page's text from the catalogue: item 0 is the dialog's caption.
QString pageText(int dialog, int item);
// Names a control by its item so that tests and language checks can find it ("item1051").
void setItem(QWidget* control, int item);
// The bold title label of the welcome and finish pages.
QLabel* titleLabel(const QString& text, int item, QWidget* parent);
// A report-style list with full-row selection, for the preview and the overview.
QTreeWidget* reportList(int item, QWidget* parent);
// Refills the overview: two 120-pixel columns, then source and destination of the three
// employee fields.
void fillOverview(QTreeWidget* list, const QString& sourceHeader, const QString& destinationHeader,
                  const QString& mediaId, const QString& lastName, const QString& firstName);
// "iButton", "RF card", "Magnetic card", or "???" for anything else.
QString mediaTypeText(int mediaType);
// Applies the page's texts; a page without title and subtitle is an exterior page: no header,
// the watermark picture instead.
void setupPage(QWizardPage* page, int dialog, int titleString = 0, int subTitleString = 0);

// Makes Back onto `page` initialise it as Next does, so that what it shows is read anew on
// every visit (QWizard initialises a page only when Next reaches it).
void initializeOnEveryVisit(QWizard* wizard, QWizardPage* page);

// The welcome page's contents: bold title, introduction, "To continue click Next.".
void buildWelcome(QWizardPage* page, int dialog, int titleItem);
// The "Type" group: iButton (id 0), RF card (1) and the magnetic card button (2), which is
// created hidden and disabled so that the choice is between the first two.
QGroupBox* mediaTypeGroup(int dialog, int iButtonItem, QButtonGroup* buttons, QWidget* parent);

} // namespace importwizard
