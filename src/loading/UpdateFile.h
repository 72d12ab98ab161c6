#pragma once

#include "loading/UpdateLayout.h"

#include <string>
#include <string_view>
#include <vector>

namespace kora {

// An update file read as a stream of fixed-length records with no separator.
// A final piece shorter than the record length is not a record and is skipped.
// The file is held exclusively while it is open, so that two updates never
// load one file at once.
class UpdateFile
{
public:
    // Throws std::runtime_error when the file cannot be opened, when another
    // update holds it, or when another update has loaded and deleted it.
    UpdateFile(const std::string& path, int recordLength);
    UpdateFile(const UpdateFile&) = delete;
    UpdateFile& operator=(const UpdateFile&) = delete;
    ~UpdateFile();

    // Reads the next record; false at the end of the file.
    bool next();
    // Back to the first record, for a second reading.
    void rewind();
    // The number of the record read last, counted from 1.
    long long recordNumber() const { return m_recordNumber; }
    std::string_view record() const
    {
        return {m_buffer.data() + m_record, static_cast<size_t>(m_recordLength)};
    }
    std::string_view field(RecordField field) const
    {
        return record().substr(static_cast<size_t>(field.position - 1),
                               static_cast<size_t>(field.width));
    }
    // The length of the final piece shorter than a record, once the end is read.
    size_t incompleteTail() const { return m_tail; }
    // What tells this file from a later delivery under the same name.
    const std::string& identity() const { return m_identity; }

private:
    bool fill();

    int m_descriptor = -1;
    int m_recordLength;
    std::vector<char> m_buffer;
    size_t m_filled = 0;
    size_t m_next = 0;
    size_t m_record = 0;
    long long m_recordNumber = 0;
    size_t m_tail = 0;
    std::string m_identity;
};

} // namespace kora
