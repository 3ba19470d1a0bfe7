#pragma once

#include "reportview.h"

class CTarvexDoc;

// Employees list: last name, first name, MediaID; sorted by last name; several rows selectable.
class CEmpView : public CReportView {
    Q_OBJECT
public:
    static constexpr int kMediaIdColumn = 2;

    explicit CEmpView(QWidget* parent = nullptr);
    ~CEmpView() override;

    static CEmpView* Instance();

    // Rebuilds the list from the workspace's employee map.
    void FillList(const CTarvexDoc* doc);
};
