#pragma once

#include <string>

// What the workspace needs of a controller's live panel. The desktop form implements it over
// its window; CStoredPanel implements it without one. Texts are byte strings.
class ITermPanel {
public:
    virtual ~ITermPanel() = default;

    // Fills the panel from the controller record and opens its link. Order as the form takes
    // them: ID, name, code, COM port, relay 1 index, relay 2 index, master, master's name,
    // firmware.
    virtual void Bind(int id, const std::string& name, int code, int comPort, int relay1Time,
                      int relay2Time, const std::string& master, const std::string& masterName,
                      const std::string& firmware) = 0;

    // The live values the workspace file is written from.
    virtual int Relay1Time() const = 0;
    virtual int Relay2Time() const = 0;
    virtual std::string Master() const = 0;
    virtual std::string MasterName() const = 0;
    virtual std::string Firmware() const = 0;

    virtual bool HasWindow() const = 0;
    // Destroys the panel's window, which frees the panel itself: the pointer is dead afterwards.
    virtual void DestroyWindow() = 0;
};
