#pragma once

#include "appsettings.h"

#include <QObject>
#include <QStringList>

// The settings variables with the one way they change while the program runs: apply() takes
// values over and tells whoever follows them (the controllers' logs, the saved settings and the
// databases in the application, the visual style in the main window). Values changed straight
// in the variables stay untold.
class CSettingsStore : public QObject {
    Q_OBJECT
public:
    explicit CSettingsStore(CAppSettings& values, QObject* parent = nullptr);

    // The program-wide store over CAppSettings::instance().
    static CSettingsStore& instance();

    CAppSettings& values() const { return m_values; }

    // Takes the values named over from `edited`, then emits changed(names).
    void apply(const CAppSettings& edited, const QStringList& names);

    // Whether any of `names` is among `changedNames`: what a follower asks first.
    static bool anyOf(const QStringList& changedNames, std::initializer_list<const char*> names);

signals:
    // The values named were taken over, whether or not they differ from what they were: the
    // settings sheet's OK reopens both databases even when nothing on it was edited.
    void changed(const QStringList& names);

private:
    CAppSettings& m_values;
};
