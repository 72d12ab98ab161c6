#include "output/PdfFile.h"

#include "base/AtomicFile.h"

#include <QIODevice>
#include <QPdfWriter>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace kora {

namespace {

// A file that writes every byte it is given or keeps the reason it could not.
// The PDF writer looks at no write's result, and a file device that fills up
// on the way may cut a write short without telling it.
class WholeWrites : public QIODevice
{
public:
    explicit WholeWrites(int descriptor) : m_descriptor(descriptor)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    // The errno of the first write that failed; 0 when none did.
    int failure() const { return m_failure; }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 size) override
    {
        for (qint64 done = 0; m_failure == 0 && done < size;) {
            const ssize_t written = ::write(m_descriptor, data + done, size - done);
            if (written > 0)
                done += written;
            else if (written == 0 || errno != EINTR)
                m_failure = written == 0 ? EIO : errno;
        }
        return m_failure == 0 ? size : -1;
    }

private:
    int m_descriptor;
    int m_failure = 0;
};

std::runtime_error cannotWrite(const std::string& path, int error)
{
    return std::runtime_error("Cannot write " + path + ": " + std::strerror(error));
}

} // namespace

void PdfFile::write(const std::string& path, int resolution, const Paint& paint)
{
    AtomicFile::replace(path, [&](const std::string& scratch) {
        const int descriptor =
            ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (descriptor < 0)
            throw cannotWrite(path, errno);
        int failure = 0;
        try {
            WholeWrites file(descriptor);
            {
                QPdfWriter writer(&file);
                writer.setResolution(resolution);
                writer.setCreator(QStringLiteral("KORA"));
                paint(writer);
            }
            failure = file.failure();
        } catch (...) {
            ::close(descriptor);
            throw;
        }
        if (failure == 0 && fsync(descriptor) != 0)
            failure = errno;
        if (::close(descriptor) != 0 && failure == 0)
            failure = errno;
        if (failure != 0)
            throw cannotWrite(path, failure);
    });
}

} // namespace kora
