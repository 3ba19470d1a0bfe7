#pragma once

#include <QWizardPage>

// First page of the database import wizard: what it does.
class CPP_ImportDBWelcome : public QWizardPage {
    Q_OBJECT
public:
    explicit CPP_ImportDBWelcome(QWidget* parent = nullptr);
};
