#pragma once

#include <map>
#include <string>

class ITermPanel;

// One controller. The COM port is not stored here: it is the record's key in the workspace.
struct CTermRecord {
    std::string Name;
    int ID = 0;
    int Code = 0;
    int Relay1Time = 0;
    int Relay2Time = 0;
    std::string Master;
    std::string MasterName;
    std::string Firmware;
    // Mirror of the controller's ID table as last read: MediaID -> slot ("%02X").
    std::map<std::string, std::string> IdTable;
    // The live panel; its window owns it.
    ITermPanel* Panel = nullptr;
};
