#pragma once

#include "mediaform.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Turns what is printed on a key or card into its 16-character MediaID: the form is chosen,
// the number typed, and the result or the reason it is refused shows at once. "Use" accepts
// the dialog with the result, and is enabled only while there is one.
class CMediaConvertDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMediaConvertDlg(QWidget* parent = nullptr);

    // The forms in the order they are offered.
    static constexpr MediaForm kForms[] = {MediaForm::IButton, MediaForm::RfHex,
                                           MediaForm::RfDecimal, MediaForm::Wiegand26};

    void SetForm(MediaForm form);
    MediaForm Form() const;
    // The converted MediaID, empty while the number is refused.
    QString MediaId() const { return m_mediaId; }

    // By dialog item: the form list, the number, the result, the hint and the status text, the
    // Use button.
    QWidget* control(int item) const;

private:
    void update();

    QComboBox* m_form;
    QLabel* m_hint;
    QLineEdit* m_input;
    QLineEdit* m_result;
    QLabel* m_status;
    QPushButton* m_use;
    QString m_mediaId;
};
