#include "empdlg.h"

#include "catalogue.h"
#include "codepage.h"
#include "editinput.h"
#include "mediaconvertdlg.h"
#include "mediatext.h"
#include "mediumreaddlg.h"
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
#include <QVBoxLayout>

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
    addMediaIdHelp(grid);
}

void CEmpDlg::addMediaIdHelp(QGridLayout* grid) {
    // The field and its description share the field's cell, the description underneath.
    auto* cell = new QVBoxLayout;
    cell->setSpacing(2);
    grid->removeWidget(m_mediaIdEdit);
    cell->addWidget(m_mediaIdEdit);
    m_mediaIdInfo = new QLabel(this);
    m_mediaIdInfo->setObjectName(QStringLiteral("item%1").arg(IDC_EMP_MEDIAINFO));
    m_mediaIdInfo->setTextFormat(Qt::PlainText);
    m_mediaIdInfo->setWordWrap(true);
    cell->addWidget(m_mediaIdInfo);
    grid->addLayout(cell, 0, 1);

    m_convert = new QPushButton(itemText(IDC_EMP_CONVERT), this);
    m_convert->setObjectName(QStringLiteral("item%1").arg(IDC_EMP_CONVERT));
    m_convert->setAutoDefault(false);
    grid->addWidget(m_convert, 0, 2, Qt::AlignTop);
    setTabOrder(m_mediaIdEdit, m_convert);
    connect(m_convert, &QPushButton::clicked, this, &CEmpDlg::convertPrintedNumber);

    const auto describe = [this](const QString& text) {
        const QString description = MediaIdDescriptionAsTyped(text);
        m_mediaIdInfo->setText(description);
        m_mediaIdEdit->setAccessibleDescription(description);
    };
    connect(m_mediaIdEdit, &QLineEdit::textChanged, this, describe);
    describe(m_mediaIdEdit->text());
}

void CEmpDlg::convertPrintedNumber() {
    CMediaConvertDlg convert(this);
    if (convert.exec() != QDialog::Accepted)
        return;
    m_mediaIdEdit->setText(convert.MediaId());
    m_mediaIdEdit->setFocus(Qt::OtherFocusReason);
}

void CEmpDlg::SetEditing(bool editing) {
    m_editing = editing;
    m_mediaIdEdit->setEnabled(!editing);
    m_convert->setEnabled(!editing);
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
    EditInput::EmployeeEntry entry = EditInput::CheckEmployeeTexts(
        m_doc, !m_editing, m_mediaIdEdit->text(), m_lastNameEdit->text(), m_firstNameEdit->text());
    if (!entry.refusal.accepted()) {
        m_prompts.stop(entry.refusal.Text());
        QLineEdit* edit = field(entry.refusal.item);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return;
    }
    m_mediaId = std::move(entry.mediaId);
    m_lastName = std::move(entry.lastName);
    m_firstName = std::move(entry.firstName);
    m_unmapped = entry.unmapped.Warning(PaneText::codePage().Name());
    QDialog::accept();
}

void CEmpDlg::SetMediumSource(CPresentedMedia* media, std::chrono::milliseconds timeout) {
    m_media = media;
    m_readTimeout = timeout;
    if (!media || m_readButton)
        return;
    m_readButton = new QPushButton(itemText(IDC_EMP_READ), this);
    m_readButton->setObjectName(QStringLiteral("item%1").arg(IDC_EMP_READ));
    m_readButton->setAutoDefault(false);
    m_readButton->setEnabled(!m_editing);
    // Beside the MediaID, past whatever else stands there.
    static_cast<QGridLayout*>(layout())->addWidget(m_readButton, 0, 3);
    setTabOrder(m_mediaIdEdit, m_readButton);
    setTabOrder(m_readButton, m_lastNameEdit);
    connect(m_readButton, &QPushButton::clicked, this, &CEmpDlg::ReadFromReader);
}

void CEmpDlg::ReadFromReader() {
    if (!m_media || m_editing)
        return;
    CMediumReadDlg read(*m_media, m_readTimeout, this);
    if (read.exec() != QDialog::Accepted) {
        m_mediaIdEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    // The duplicate check of OK, on the medium alone.
    const EditInput::EmployeeEntry entry =
        EditInput::CheckEmployeeTexts(m_doc, true, read.MediaId(), QString(), QString());
    if (entry.refusal.item == IDC_EMP_MEDIAID) {
        m_prompts.stop(entry.refusal.Text());
        m_mediaIdEdit->setFocus(Qt::OtherFocusReason);
        m_mediaIdEdit->selectAll();
        return;
    }
    m_mediaIdEdit->setText(read.MediaId());
    m_lastNameEdit->setFocus(Qt::OtherFocusReason);
}
