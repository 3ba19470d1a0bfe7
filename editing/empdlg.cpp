#include "empdlg.h"

#include "catalogue.h"
#include "codepage.h"
#include "editinput.h"
#include "panetext.h"
#include "resourceids.h"
#include "tarvexdoc.h"
#include "typedtextvalidator.h"
#include "userprompts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace res;

namespace {
QString itemText(int item) {
    return CCatalogue::instance().dialogText(IDD_EMPDLG, item);
}
} // namespace

CEmpDlg::CEmpDlg(IUserPrompts& prompts, QWidget* parent, CTarvexDoc* doc)
    : QDialog(parent), m_doc(doc), m_prompts(prompts) {
    setObjectName(QStringLiteral("CEmpDlg"));
    setWindowTitle(itemText(0));
    setModal(true);

    auto* grid = new QGridLayout(this);
    int row = 0;
    auto addEdit = [&](int item, CTypedTextValidator::Rewrite rewrite) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("item%1").arg(item));
        edit->setValidator(new CTypedTextValidator(std::move(rewrite), edit));
        auto* label = new QLabel(itemText(item), this);
        label->setBuddy(edit);
        edit->setAccessibleName(QString(itemText(item)).remove(QLatin1Char('&')));
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        ++row;
        return edit;
    };
    m_mediaIdEdit = addEdit(IDC_EMP_MEDIAID, &EditInput::MediaIdAsTyped);
    m_lastNameEdit = addEdit(IDC_EMP_LASTNAME, &EditInput::WithoutControls);
    m_firstNameEdit = addEdit(IDC_EMP_FIRSTNAME, &EditInput::WithoutControls);
    // Room for a whole MediaID.
    m_mediaIdEdit->setMinimumWidth(m_mediaIdEdit->fontMetrics().horizontalAdvance(
        QString(EditInput::kMediaIdLength + 2, u'D')));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(itemText(IDOK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("item%1").arg(IDOK));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(itemText(IDCANCEL), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("item%1").arg(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &CEmpDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEmpDlg::reject);
    grid->addWidget(buttons, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    setTabOrder(m_mediaIdEdit, m_lastNameEdit);
    setTabOrder(m_lastNameEdit, m_firstNameEdit);
    setTabOrder(m_firstNameEdit, ok);
    setTabOrder(ok, cancel);
}

void CEmpDlg::SetEditing(bool editing) {
    m_editing = editing;
    m_mediaIdEdit->setEnabled(!editing);
}

void CEmpDlg::SetMediaId(const QString& text) {
    m_mediaIdEdit->setText(text);
}

void CEmpDlg::SetLastName(const QString& text) {
    m_lastNameEdit->setText(text);
}

void CEmpDlg::SetFirstName(const QString& text) {
    m_firstNameEdit->setText(text);
}

QString CEmpDlg::MediaIdText() const {
    return m_mediaIdEdit->text();
}

QString CEmpDlg::LastNameText() const {
    return m_lastNameEdit->text();
}

QString CEmpDlg::FirstNameText() const {
    return m_firstNameEdit->text();
}

QLineEdit* CEmpDlg::field(int item) const {
    switch (item) {
    case IDC_EMP_MEDIAID:
        return m_mediaIdEdit;
    case IDC_EMP_LASTNAME:
        return m_lastNameEdit;
    case IDC_EMP_FIRSTNAME:
        return m_firstNameEdit;
    default:
        return nullptr;
    }
}

void CEmpDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    (m_editing ? m_lastNameEdit : m_mediaIdEdit)->setFocus(Qt::OtherFocusReason);
}

void CEmpDlg::accept() {
    // The checks see the texts as they will be stored.
    const CCodePage& codePage = PaneText::codePage();
    CUnmappedText unmapped;
    std::string mediaId = codePage.FromUnicode(m_mediaIdEdit->text(), unmapped);
    std::string lastName = codePage.FromUnicode(m_lastNameEdit->text(), unmapped);
    std::string firstName = codePage.FromUnicode(m_firstNameEdit->text(), unmapped);

    const EditInput::Refusal refusal =
        EditInput::CheckEmployee(m_doc, !m_editing, mediaId, lastName, firstName);
    if (!refusal.accepted()) {
        m_prompts.stop(refusal.Text());
        QLineEdit* edit = field(refusal.item);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return;
    }
    m_mediaId = std::move(mediaId);
    m_lastName = std::move(lastName);
    m_firstName = std::move(firstName);
    m_unmapped = unmapped.Warning(codePage.Name());
    QDialog::accept();
}
