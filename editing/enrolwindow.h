#pragma once

#include "enrolment.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class CPresentedMedia;
class CTarvexDoc;
class IUserPrompts;
class QPushButton;
class QTableWidget;
struct PresentedMedium;

// "Enrol keys and cards": lists the media presented to any controller that no employee has,
// each once, with a Last Name and a First Name to type; Add stores the named ones as employees
// and has them selected in the employees list. Not modal; as a tool window of its parent it
// stays above the main window.
class CEnrolWindow : public QWidget {
    Q_OBJECT
public:
    enum Column { MediaIdColumn, ControllerColumn, TimeColumn, LastNameColumn, FirstNameColumn };

    struct Context {
        CTarvexDoc& doc;
        IUserPrompts& prompts;
        CPresentedMedia& media;
        // Selects these employees (by stored MediaID) in the employees list.
        std::function<void(const std::vector<std::string>& mediaIds)> selectEmployees;
    };

    CEnrolWindow(Context context, QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }
    QPushButton* addButton() const { return m_add; }
    const CEnrolment& enrolment() const { return m_enrolment; }

    void AddEmployees();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onPresented(const PresentedMedium& medium);
    void onCellChanged(int row, int column);
    void fillTable();

    Context m_context;
    CEnrolment m_enrolment;
    QTableWidget* m_table;
    QPushButton* m_add;
    bool m_filling = false;
};
