#pragma once

namespace kora {

// The work a connection's memory is sized for (Connection::sizeFor).
enum class WorkSizing
{
    Ordinary,
    LoadRows,
    IndexBuilds
};

} // namespace kora
