#pragma once

// Whoever follows the settings: told after the settings sheet's OK, once the new values are in
// the settings store's program-wide instance.
class ISettingsListener {
public:
    virtual ~ISettingsListener() = default;

    // The program takes the new values up: every running controller logs into the folder, the
    // settings are saved and both databases are opened again.
    virtual void SettingsChanged() = 0;
};
