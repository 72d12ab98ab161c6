#include "output/PdfFile.h"

#include "base/AtomicFile.h"

#include <QFile>
#include <QPdfWriter>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <unistd.h>

namespace kora {

namespace {

std::runtime_error cannotWrite(const std::string& path, const QString& reason)
{
    return std::runtime_error("Cannot write " + path + ": " + reason.toStdString());
}

} // namespace

void PdfFile::write(const std::string& path, int resolution, const Paint& paint)
{
    AtomicFile::replace(path, [&](const std::string& scratch) {
        QFile file(QString::fromStdString(scratch));
        if (!file.open(QIODevice::WriteOnly))
            throw cannotWrite(path, file.errorString());
        {
            QPdfWriter writer(&file);
            writer.setResolution(resolution);
            writer.setCreator(QStringLiteral("KORA"));
            paint(writer);
        }
        // The PDF writer does not check its writes; the file keeps the first failure.
        if (file.error() != QFileDevice::NoError || !file.flush())
            throw cannotWrite(path, file.errorString());
        if (fsync(file.handle()) != 0)
            throw cannotWrite(path, QString::fromLocal8Bit(std::strerror(errno)));
    });
}

} // namespace kora
