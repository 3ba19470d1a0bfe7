#include "userprompts.h"

#include "catalogue.h"
#include "langwarningdlg.h"
#include "resourceids.h"

#include <QFileDialog>
#include <QMessageBox>

IUserPrompts::Answer CDialogPrompts::askSaveChanges(const QString& text) {
    const auto b = QMessageBox::question(m_owner, S(res::IDS_APP_TITLE), text,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                         QMessageBox::Yes);
    return b == QMessageBox::Yes ? Yes : b == QMessageBox::No ? No : Cancel;
}

QString CDialogPrompts::openFileName(const QString& filter) {
    return QFileDialog::getOpenFileName(m_owner, QString(), QString(), filter);
}

QString CDialogPrompts::saveFileName(const QString& filter, const QString& suggested) {
    return QFileDialog::getSaveFileName(m_owner, QString(), suggested, filter);
}

void CDialogPrompts::stop(const QString& text) {
    QMessageBox::critical(m_owner, S(res::IDS_APP_TITLE), text);
}

void CDialogPrompts::warning(const QString& text) {
    QMessageBox::warning(m_owner, S(res::IDS_APP_TITLE), text);
}

void CDialogPrompts::information(const QString& text) {
    QMessageBox::information(m_owner, S(res::IDS_APP_TITLE), text);
}

void CDialogPrompts::notice(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, S(res::IDS_APP_TITLE), text, QMessageBox::Ok, m_owner);
    box.exec();
}

IUserPrompts::Answer CDialogPrompts::askYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, S(res::IDS_APP_TITLE), text,
                    QMessageBox::Yes | QMessageBox::No, m_owner);
    box.setDefaultButton(QMessageBox::Yes);
    box.exec();
    // Rejected from outside (the program ending) is no answer.
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked && clicked == box.button(QMessageBox::Yes))
        return Yes;
    if (clicked && clicked == box.button(QMessageBox::No))
        return No;
    return Cancel;
}

bool CDialogPrompts::askOkCancel(const QString& text) {
    QMessageBox box(QMessageBox::Question, S(res::IDS_APP_TITLE), text,
                    QMessageBox::Ok | QMessageBox::Cancel, m_owner);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    return clicked && clicked == box.button(QMessageBox::Ok);
}

std::optional<bool> CDialogPrompts::languageWarning(bool showAgain) {
    CLangWarningDlg dialog(showAgain, m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.showAgain();
}
