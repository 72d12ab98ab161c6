#pragma once

#include <string>

namespace kora {

// Copies a database's write-ahead log back into the database file on a thread
// of its own, after a load that left the log long: the load is done once its
// commit is in the log, and agents read and write beside the copy. One copy
// runs at a time in the program; the next waits for the one before, and the
// program waits for the last before it ends.
class BackgroundCheckpoint
{
public:
    static void start(const std::string& path);
    // Returns once no copy is running.
    static void wait();
};

} // namespace kora
