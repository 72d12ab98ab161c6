#pragma once

#include <string>

struct pg_conn;

namespace kora {

// Connections to the server that a closed window left, kept for the next one
// to open: a new session costs the server a process of its own and the
// reading of its catalogs, some milliseconds before the first row. Only a
// connection whose work ended cleanly is kept, and only once the server has
// reset it (DISCARD ALL: its settings, prepared statements, cursors and
// advisory locks are gone, as on a new session). Used from any thread.
class PgIdleConnections
{
public:
    // A kept connection opened with the same text, or null.
    static pg_conn* take(const std::string& text);
    // Resets the connection and keeps it, or closes it when it cannot be
    // reset at once (busy, in a transaction, broken, or the server slow to answer).
    static void keep(const std::string& text, pg_conn* connection);
};

} // namespace kora
