#pragma once

#include "reportentry.h"

#include <QString>

class CADODataBase;

// What the database made of one report.
enum class DeliveryOutcome {
    Accepted, // the command ran
    Refused,  // the database answered with an error: the same command would fail again
    NoAnswer  // no connection, a lost one, or no answer in time: worth trying again later
};

struct Delivery {
    DeliveryOutcome outcome = DeliveryOutcome::NoAnswer;
    QString command; // as a person reads it
    QString error;   // the layer's error text when not accepted
};

// Runs the entry's command on an open connection in the entry's form. An error that names
// the connection or a time-out is no answer; for any other error a trivial query on the same
// connection decides: when that fails too, the database is not answering, else it refused.
Delivery deliverReport(CADODataBase* database, const ReportEntry& entry);

// The pause before the next try after `failures` tries in a row without an answer: 1 s,
// doubled each time, at most 60 s.
int reportRetryPauseMs(int failures);
