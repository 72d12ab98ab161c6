#pragma once

#include "base/ProgramValues.h"

class QWidget;

namespace kora {

class Database;
class DbError;
class TITLE;

// Opening the chosen state database at start-up, with the offer to load the
// update files waiting in the program folder first.
class StateOpening
{
public:
    enum class Outcome
    {
        Opened,
        Failed, // said why; the user chooses again
        Updated // the update ran (or stopped, saying why); the program ends
    };

    static Outcome open(QWidget* parent, const ProgramValues& values, TITLE* splash);
    static void reportFailure(QWidget* parent, const ProgramValues& values, const DbError& error);

private:
    static void runUpdate(QWidget* parent, Database& db, const ProgramValues& values,
                          TITLE* splash);
};

} // namespace kora
