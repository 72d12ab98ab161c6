#pragma once

#include "loading/UpdateFile.h"

#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kora {

// Reads an update file on a thread of its own and turns its records into
// items there, a batch at a time, while the caller's thread writes the items
// of the batch before: reading and writing a load go on side by side on two
// cores. Batches are used again and again, so that the texts of their items
// keep their memory from one record to the next.
template <typename Item> class ReadAhead
{
public:
    // Fills an item from the file's current record; false when the record
    // holds nothing to write.
    using Convert = std::function<bool(const UpdateFile&, Item&)>;

    ReadAhead(UpdateFile& file, Convert convert)
        : m_file(file), m_convert(std::move(convert)), m_batches(kBatchCount)
    {
        for (Batch& batch : m_batches)
            m_free.push_back(&batch);
        m_reader = std::thread([this] { read(); });
    }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_changed.notify_all();
        m_reader.join();
    }

    // Calls write for every item, in the order of the file, and recordRead
    // after every record, written or not. Throws what the reading threw.
    template <typename Write, typename RecordRead> void forEach(Write write, RecordRead recordRead)
    {
        for (;;) {
            Batch* batch = nullptr;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return !m_full.empty(); });
                batch = m_full.front();
                m_full.pop_front();
            }
            if (batch->failure)
                std::rethrow_exception(batch->failure);
            for (std::size_t k = 0; k < batch->count; ++k) {
                if (batch->used[k])
                    write(batch->items[k]);
                recordRead();
            }
            const bool last = batch->last;
            {
                const std::lock_guard lock(m_mutex);
                m_free.push_back(batch);
            }
            m_changed.notify_all();
            if (last)
                return;
        }
    }

private:
    static constexpr std::size_t kBatchSize = 512;
    static constexpr std::size_t kBatchCount = 4;

    struct Batch
    {
        std::array<Item, kBatchSize> items{};
        std::array<bool, kBatchSize> used{};
        std::size_t count = 0;
        bool last = false;
        std::exception_ptr failure;
    };

    void read()
    {
        for (bool last = false; !last;) {
            Batch* batch = nullptr;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return m_stopped || !m_free.empty(); });
                if (m_stopped)
                    return;
                batch = m_free.front();
                m_free.pop_front();
            }
            batch->count = 0;
            try {
                while (batch->count < kBatchSize && m_file.next()) {
                    batch->used[batch->count] = m_convert(m_file, batch->items[batch->count]);
                    ++batch->count;
                }
                last = batch->count < kBatchSize;
            } catch (...) {
                batch->failure = std::current_exception();
                last = true;
            }
            batch->last = last;
            {
                const std::lock_guard lock(m_mutex);
                m_full.push_back(batch);
            }
            m_changed.notify_all();
        }
    }

    UpdateFile& m_file;
    Convert m_convert;
    std::vector<Batch> m_batches;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch*> m_free;
    std::deque<Batch*> m_full;
    bool m_stopped = false;
    std::thread m_reader;
};

} // namespace kora
