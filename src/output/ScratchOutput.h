#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kora {

// An output file written under a scratch name beside its target and renamed
// over the target only when complete: a failed export never leaves half a
// file, nor takes away the file it was to replace. A target that is a device
// or a pipe is written straight into. Throws ExportError.
class ScratchOutput
{
public:
    // Creates the scratch file; "CANNOT CREATE OUTPUT FILE!" when it cannot be made.
    explicit ScratchOutput(std::string target);
    ScratchOutput(const ScratchOutput&) = delete;
    ScratchOutput& operator=(const ScratchOutput&) = delete;
    // Removes the scratch file unless it was committed.
    ~ScratchOutput();

    const std::string& scratchPath() const { return m_scratch; }
    void write(std::string_view text);
    // Writes what is buffered, closes the scratch file and renames it over the target.
    void commit();
    // For writers that make the scratch file themselves: closes it for them.
    void closeForOtherWriter();

private:
    void flush();
    [[noreturn]] void fail();

    std::string m_target;
    std::string m_scratch;
    // The file the scratch file is renamed over; empty when written straight into.
    std::string m_replaced;
    std::FILE* m_file = nullptr;
    std::string m_buffer;
    bool m_committed = false;
};

} // namespace kora
