#pragma once

#include "base/StateCodes.h"

#include <string>

namespace kora {

// The values the main window fixes at start and every window reads.
struct ProgramValues
{
    std::string programFolder;   // the program's folder, ending in "/"
    std::string startFolder;     // the same folder without the trailing "/"
    std::string documentsFolder; // the user's documents folder
    std::string setupConnect;    // connect string of KORAI.MDB
    std::string stateConnect;    // connect string of the chosen state database
    std::string state;           // the chosen state code
    bool selectionAccepted = false;
    bool upgradeContinue = false;

    std::string stateDatabasePath() const { return programFolder + stateDatabaseName(state); }
};

} // namespace kora
