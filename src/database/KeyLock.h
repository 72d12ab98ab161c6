#pragma once

namespace kora {

// A lock on one key of a database (a company's note), held by one holder at
// a time until it is destroyed; the engine frees it when its holder dies.
class KeyLock
{
public:
    KeyLock() = default;
    KeyLock(const KeyLock&) = delete;
    KeyLock& operator=(const KeyLock&) = delete;
    virtual ~KeyLock() = default;
};

} // namespace kora
