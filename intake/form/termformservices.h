#pragma once

#include <QString>

#include <functional>

class CADODataBase;

// What a controller form reaches beyond itself and its workspace. The application fills it at
// start-up; an empty member means the step it serves does nothing.
struct TermFormServices {
    // The reporting connection the registrations' commands go to (nullptr: none open).
    std::function<CADODataBase*()> reportingDatabase;
    // Hands a person's registration (media ID, time of the registration) to the photo window.
    std::function<void(const QString& mediaId, const QString& time)> showPhoto;
    // Tells the user why a controller has no link.
    std::function<void(const QString& message)> linkFailed;
    // Runs first for every registration: the month may have changed since the last one (a
    // suspend, a clock set forward), and its line belongs in the new month's file.
    std::function<void()> registrationArrived;
    // Tells the user, once until they are written again, that a controller's registrations do
    // not reach the registrations file.
    std::function<void(const QString& notice)> registrationsNotWritten;
    // One message per run is enough: every controller of a workspace fails for the same reason.
    bool linkFailureTold = false;
};

// The program's one set; the application replaces it as a whole when it starts.
TermFormServices& termFormServices();
