#pragma once

#include "editinput.h"
#include "tarvexdoc.h"

#include <QString>

#include <string>
#include <vector>

// The media presented for enrolment that no employee has yet, each once, with the names the
// user gives them; Add stores the named ones as employees.
class CEnrolment {
public:
    struct Row {
        QString mediaId;
        QString controller;
        QString time;
        QString lastName;
        QString firstName;
        bool named() const { return !lastName.isEmpty() && !firstName.isEmpty(); }
        // Some name typed: closing would lose it.
        bool started() const { return !lastName.isEmpty() || !firstName.isEmpty(); }
    };

    // What Add did: the media added, in row order, and the first refusal with its row in the
    // list as it is after Add (-1: the row left the list, or nothing was refused).
    struct Outcome {
        std::vector<std::string> added;
        EditInput::Refusal refusal;
        int refusedRow = -1;
        // The characters of the added names the code page could not hold.
        CUnmappedText unmapped;
    };

    // A presented medium: listed (true) when no employee has it and it is not listed already.
    bool Offer(const CTarvexDoc::EmployeeMap& employees, const QString& mediaId,
               const QString& controller, const QString& time);

    const std::vector<Row>& rows() const { return m_rows; }
    void SetNames(int row, const QString& lastName, const QString& firstName);
    // Rows with a name typed that Add has not stored.
    int StartedRows() const;

    // Stores every named row through the Employee dialog's checks and takes it off the list.
    // A row refused because its medium has become an employee meanwhile leaves the list too;
    // one refused for anything else stays with its names.
    Outcome AddNamed(CTarvexDoc& doc);

private:
    std::vector<Row> m_rows;
};
