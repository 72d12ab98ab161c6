#pragma once

namespace kora {

// Counts the stores of the user's notes and fields (the notes text, the user
// fields and the Omit mark) in this run of the program, so that leaving it
// offers a backup only when something may have changed.
class UserDataChanges
{
public:
    static void record();
    static long long count();
};

} // namespace kora
