#include "termdlg.h"

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
#include <QRegularExpressionValidator>

using namespace res;

namespace {
QString itemText(int item) {
    return CCatalogue::instance().dialogText(IDD_TERMDLG, item);
}
} // namespace

CTermDlg::CTermDlg(IUserPrompts& prompts, QWidget* parent, CTarvexDoc* doc)
    : QDialog(parent), m_doc(doc), m_prompts(prompts) {
    setObjectName(QStringLiteral("CTermDlg"));
    setWindowTitle(itemText(0));
    setModal(true);

    auto* grid = new QGridLayout(this);
    // A paste holding anything but digits is refused as a whole.
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    int row = 0;
    auto addEdit = [&](int item, bool digitsOnly) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("item%1").arg(item));
        if (digitsOnly)
            edit->setValidator(digits);
        else
            edit->setValidator(new CTypedTextValidator(&EditInput::WithoutControls, edit));
        auto* label = new QLabel(itemText(item), this);
        label->setBuddy(edit);
        edit->setAccessibleName(QString(itemText(item)).remove(QLatin1Char('&')));
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        ++row;
        return edit;
    };
    m_nameEdit = addEdit(IDC_TERMDLG_NAME, false);
    m_idEdit = addEdit(IDC_TERMDLG_ID, true);
    m_codeEdit = addEdit(IDC_TERMDLG_CODE, true);
    m_comEdit = addEdit(IDC_TERMDLG_COMPORT, true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(itemText(IDOK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("item%1").arg(IDOK));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(itemText(IDCANCEL), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("item%1").arg(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &CTermDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTermDlg::reject);
    grid->addWidget(buttons, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    setTabOrder(m_nameEdit, m_idEdit);
    setTabOrder(m_idEdit, m_codeEdit);
    setTabOrder(m_codeEdit, m_comEdit);
    setTabOrder(m_comEdit, ok);
    setTabOrder(ok, cancel);
    SetValues(QString(), 0, 0, 1);
}

void CTermDlg::SetEditing(bool editing) {
    m_editing = editing;
    m_comEdit->setEnabled(!editing);
}

void CTermDlg::SetValues(const QString& name, int id, int code, int comPort) {
    m_nameEdit->setText(name);
    m_idEdit->setText(QString::number(id));
    m_codeEdit->setText(QString::number(code));
    m_comEdit->setText(QString::number(comPort));
}

QLineEdit* CTermDlg::field(int item) const {
    switch (item) {
    case IDC_TERMDLG_NAME:
        return m_nameEdit;
    case IDC_TERMDLG_ID:
        return m_idEdit;
    case IDC_TERMDLG_CODE:
        return m_codeEdit;
    case IDC_TERMDLG_COMPORT:
        return m_comEdit;
    default:
        return nullptr;
    }
}

void CTermDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_nameEdit->setFocus(Qt::OtherFocusReason);
}

void CTermDlg::accept() {
    EditInput::ControllerNumbers numbers;
    const EditInput::Refusal refusal =
        EditInput::CheckController(m_doc, !m_editing, m_nameEdit->text(), m_idEdit->text(),
                                   m_codeEdit->text(), m_comEdit->text(), numbers);
    if (!refusal.accepted()) {
        m_prompts.stop(refusal.Text());
        QLineEdit* edit = field(refusal.item);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return;
    }
    const CCodePage& codePage = PaneText::codePage();
    CUnmappedText unmapped;
    m_name = codePage.FromUnicode(m_nameEdit->text(), unmapped);
    m_unmapped = unmapped.Warning(codePage.Name());
    m_id = numbers.id;
    m_code = numbers.code;
    m_comPort = numbers.comPort;
    QDialog::accept();
}
