#pragma once

#include <QWizardPage>

// First page of the text import wizard: what it does.
class CPP_ImportTxtWelcome : public QWizardPage {
    Q_OBJECT
public:
    explicit CPP_ImportTxtWelcome(QWidget* parent = nullptr);
};
