#include "widgets/Cmdlg.h"

#include "widgets/Dialogs.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace kora {

namespace {

const QChar kNul(0);

// "*.csv" and ".csv" name the extension "csv" that the dialog appends.
QString suffixOf(const QString& extension)
{
    qsizetype start = 0;
    while (start < extension.size() && (extension[start] == '*' || extension[start] == '.'))
        ++start;
    return extension.mid(start);
}

// The extension part of a chosen name: what follows the last dot of the name.
QString extensionOf(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

} // namespace

Cmdlg::Cmdlg(const QString& programFolder) : m_dialogTitle(programFolder) {}

QString Cmdlg::TrimNull(const QString& text)
{
    const qsizetype nul = text.indexOf(kNul);
    return nul < 0 ? text : text.left(nul);
}

QStringList Cmdlg::nameFilters() const
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = m_filter.split(kNul);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            const QString trimmed = pattern.trimmed();
            patterns << (trimmed == "*.*" ? QStringLiteral("*") : trimmed);
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        QString description = parts[i];
        description.remove(trailingPatterns);
        filters << description + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

void Cmdlg::ShowOpen()
{
    show(false);
}

void Cmdlg::ShowSave()
{
    show(true);
}

void Cmdlg::failed()
{
    m_fileName.clear();
    m_fileTitle.clear();
    m_fileExtension.clear();
    m_cancelPressed = true;
    m_multiSelect = false;
}

void Cmdlg::show(bool save)
{
    const bool allowMultiple = (m_flags & kAllowMultiSelect) != 0;
    Dialogs::FileRequest request;
    request.kind = save ? Dialogs::FileRequest::Kind::Save : Dialogs::FileRequest::Kind::Open;
    request.title = m_dialogTitle;
    request.directory = m_initDir;
    request.fileName = m_fileName;
    request.filters = nameFilters();
    request.filterIndex = std::max(0, m_filterIndex - 1);
    request.defaultSuffix = suffixOf(m_defaultExtension);
    request.multiSelect = !save && allowMultiple;
    request.confirmOverwrite = (m_flags & kOverwritePrompt) != 0;

    const Dialogs::FileAnswer answer = Dialogs::chooseFile(m_owner, request);
    if (!answer.accepted || answer.files.isEmpty()) {
        failed();
        return;
    }

    // Several names come back as the folder and the names, each followed by a NUL.
    QString buffer = answer.files.first();
    if (answer.files.size() > 1) {
        buffer = QFileInfo(answer.files.first()).absolutePath() + kNul;
        for (const QString& file : answer.files)
            buffer += QFileInfo(file).fileName() + kNul;
    }
    // A name that does not fit the name buffer fails the dialog, as it would there.
    if (buffer.size() > m_maxFileSize) {
        failed();
        return;
    }

    const bool single = answer.files.size() == 1;
    m_fileName = allowMultiple ? buffer : TrimNull(buffer);
    m_fileTitle = single ? QFileInfo(buffer).fileName() : QString();
    m_fileExtension = single && m_flags != 0 ? extensionOf(buffer) : QString();
    m_multiSelect = allowMultiple && !single;
    m_cancelPressed = false;
}

} // namespace kora
