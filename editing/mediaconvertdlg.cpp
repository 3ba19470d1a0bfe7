#include "mediaconvertdlg.h"

#include "catalogue.h"
#include "mediatext.h"
#include "resourceids.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace res;

namespace {

QString itemText(int item) {
    return CCatalogue::instance().dialogText(IDD_MEDIACONVERT, item);
}

QString plain(QString text) {
    return text.remove(QLatin1Char('&'));
}

// The dialog item naming a form; its hint is the item kConvertHintOffset further on.
int formItem(MediaForm form) {
    switch (form) {
    case MediaForm::IButton:
        return IDC_CONVERT_IBUTTON;
    case MediaForm::RfHex:
        return IDC_CONVERT_RFHEX;
    case MediaForm::Wiegand26:
        return IDC_CONVERT_W26;
    case MediaForm::RfDecimal:
    case MediaForm::Hex:
        break;
    }
    return IDC_CONVERT_DECIMAL;
}

} // namespace

CMediaConvertDlg::CMediaConvertDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CMediaConvertDlg"));
    setWindowTitle(itemText(0));
    setModal(true);

    auto* grid = new QGridLayout(this);
    const auto named = [this](QWidget* widget, int item) {
        widget->setObjectName(QStringLiteral("item%1").arg(item));
        return widget;
    };
    const auto label = [&](int item, QWidget* buddy, int row) {
        auto* text = new QLabel(itemText(item), this);
        text->setBuddy(buddy);
        buddy->setAccessibleName(plain(itemText(item)));
        grid->addWidget(text, row, 0);
        grid->addWidget(buddy, row, 1);
    };

    m_form = new QComboBox(this);
    named(m_form, IDC_CONVERT_FORM);
    for (const MediaForm form : kForms)
        m_form->addItem(itemText(formItem(form)), int(form));
    label(IDC_CONVERT_FORM, m_form, 0);

    m_hint = new QLabel(this);
    named(m_hint, IDC_CONVERT_HINT);
    m_hint->setWordWrap(true);
    grid->addWidget(m_hint, 1, 1);

    m_input = new QLineEdit(this);
    named(m_input, IDC_CONVERT_INPUT);
    label(IDC_CONVERT_INPUT, m_input, 2);

    m_result = new QLineEdit(this);
    named(m_result, IDC_CONVERT_RESULT);
    m_result->setReadOnly(true);
    m_result->setMinimumWidth(m_result->fontMetrics().horizontalAdvance(QString(18, u'D')));
    label(IDC_CONVERT_RESULT, m_result, 3);

    m_status = new QLabel(this);
    named(m_status, IDC_CONVERT_STATUS);
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText);
    grid->addWidget(m_status, 4, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_use = buttons->addButton(itemText(IDC_CONVERT_USE), QDialogButtonBox::AcceptRole);
    named(m_use, IDC_CONVERT_USE);
    m_use->setDefault(true);
    QPushButton* cancel = buttons->addButton(itemText(IDCANCEL), QDialogButtonBox::RejectRole);
    named(cancel, IDCANCEL);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!m_mediaId.isEmpty())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &CMediaConvertDlg::reject);
    grid->addWidget(buttons, 5, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(m_form, &QComboBox::currentIndexChanged, this, &CMediaConvertDlg::update);
    connect(m_input, &QLineEdit::textChanged, this, &CMediaConvertDlg::update);
    update();
    m_input->setFocus(Qt::OtherFocusReason);
}

void CMediaConvertDlg::SetForm(MediaForm form) {
    const int index = m_form->findData(int(form));
    if (index >= 0)
        m_form->setCurrentIndex(index);
}

MediaForm CMediaConvertDlg::Form() const {
    return MediaForm(m_form->currentData().toInt());
}

QWidget* CMediaConvertDlg::control(int item) const {
    switch (item) {
    case IDC_CONVERT_FORM:
        return m_form;
    case IDC_CONVERT_INPUT:
        return m_input;
    case IDC_CONVERT_RESULT:
        return m_result;
    case IDC_CONVERT_HINT:
        return m_hint;
    case IDC_CONVERT_STATUS:
        return m_status;
    case IDC_CONVERT_USE:
        return m_use;
    default:
        return nullptr;
    }
}

void CMediaConvertDlg::update() {
    const MediaForm form = Form();
    const QString hint = itemText(formItem(form) + kConvertHintOffset);
    m_hint->setText(hint);
    m_input->setAccessibleDescription(hint);

    const QByteArray typed = m_input->text().toUtf8();
    QString status;
    m_mediaId.clear();
    if (!typed.trimmed().isEmpty()) {
        const MediaConversion converted = ConvertPrintedMediaId(
            form, std::string_view(typed.constData(), std::size_t(typed.size())));
        if (converted.accepted()) {
            m_mediaId =
                QString::fromLatin1(converted.mediaId.data(), qsizetype(converted.mediaId.size()));
            status = MediaIdDescription(converted.mediaId);
        } else {
            status = MediaFormRefusalText(converted.refusal);
        }
    }
    m_result->setText(m_mediaId);
    m_status->setText(status);
    m_result->setAccessibleDescription(status);
    m_use->setEnabled(!m_mediaId.isEmpty());
}
