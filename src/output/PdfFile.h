#pragma once

#include <functional>
#include <string>

class QPagedPaintDevice;

namespace kora {

// A PDF file replaced whole or not at all: drawn into a scratch file beside
// it, flushed to the disk and renamed over it only when every byte was
// written, so a full disk or a file size limit leaves the old file as it was.
class PdfFile
{
public:
    using Paint = std::function<void(QPagedPaintDevice&)>;

    // Throws std::runtime_error naming the file and the reason when it cannot
    // be written; whatever paint throws is passed on. Either way the old file
    // is kept.
    static void write(const std::string& path, int resolution, const Paint& paint);
};

} // namespace kora
