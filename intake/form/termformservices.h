#pragma once

#include <QString>
#include <QStringList>

#include <functional>

struct ReportEntry;
class CLinkChecker;
class IAlertInput;
class IUserPrompts;

// What a controller form reaches beyond itself and its workspace. The application fills it at
// start-up; an empty member means the step it serves does nothing.
struct TermFormServices {
    // Puts a registration's report into the report queue; false when it was not taken (the
    // user has been told why).
    std::function<bool(const ReportEntry& report)> queueReport;
    // Hands a person's registration (media ID, time of the registration) to the photo window.
    std::function<void(const QString& mediaId, const QString& time)> showPhoto;
    // Runs first for every registration: the month may have changed since the last one (a
    // suspend, a clock set forward), and its line belongs in the new month's file.
    std::function<void()> registrationArrived;
    // Told a controller's port that did not open or hung up, registrations that do not reach
    // the registrations file (and when they do again), and each registration with whether its
    // medium is unknown (nullptr: nobody is told).
    IAlertInput* alerts = nullptr;
    // Takes a registration's row for the registrations list: date, time, action and media ID,
    // and the ID of the controller it came from.
    std::function<void(const QStringList& row, int controllerId)> listRow;
    // Asks each open controller for its status after a silence (nullptr: nobody asks).
    CLinkChecker* linkCheck = nullptr;
    // Told why a controller has no link or why a call to it failed (nullptr: nobody is told).
    IUserPrompts* prompts = nullptr;
    // One message per run is enough: every controller of a workspace fails for the same reason.
    bool linkFailureTold = false;
};

// The program's one set; the application replaces it as a whole when it starts.
TermFormServices& termFormServices();
