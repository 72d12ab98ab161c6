#pragma once

#include "loading/UpdateLayout.h"

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace kora {

// An update file read as a stream of fixed-length records with no separator.
// A final piece shorter than the record length is not a record and is skipped.
class UpdateFile
{
public:
    // Throws std::runtime_error when the file cannot be opened.
    UpdateFile(const std::string& path, int recordLength);

    // Reads the next record; false at the end of the file.
    bool next();
    std::string_view record() const { return {m_record.data(), m_record.size()}; }
    std::string_view field(RecordField field) const
    {
        return record().substr(static_cast<size_t>(field.position - 1),
                               static_cast<size_t>(field.width));
    }

private:
    std::vector<char> m_buffer;
    std::ifstream m_stream;
    std::string m_record;
};

} // namespace kora
