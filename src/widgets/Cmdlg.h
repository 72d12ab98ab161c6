#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kora {

// The open and save file chooser kept behind properties: callers set the
// properties, call ShowOpen or ShowSave and read the outcome from the
// properties. The dialog itself is the one of Dialogs::chooseFile.
class Cmdlg
{
public:
    // The flag that allows several files to be chosen in the open dialog.
    static constexpr qint32 kAllowMultiSelect = 512;
    // The flag that has the save dialog ask before replacing a file.
    static constexpr qint32 kOverwritePrompt = 2;

    // The dialog title starts as the program's folder.
    explicit Cmdlg(const QString& programFolder);

    void ShowOpen();
    void ShowSave();
    // The part of a text before its first NUL, or the whole text without one.
    static QString TrimNull(const QString& text);

    void setInitDir(const QString& folder) { m_initDir = folder; }
    const QString& InitDir() const { return m_initDir; }
    void setFilterIndex(qint16 index) { m_filterIndex = index; }
    qint16 FilterIndex() const { return m_filterIndex; }
    void setFiletitle(const QString& title) { m_fileTitle = title; }
    const QString& Filetitle() const { return m_fileTitle; }
    void setFileName(const QString& name) { m_fileName = name; }
    const QString& FileName() const { return m_fileName; }
    void setDialogTitle(const QString& title) { m_dialogTitle = title; }
    const QString& DialogTitle() const { return m_dialogTitle; }
    void setDefaultExtension(const QString& extension) { m_defaultExtension = extension; }
    const QString& DefaultExtension() const { return m_defaultExtension; }
    bool CancelPressed() const { return m_cancelPressed; }
    const QString& FileExtension() const { return m_fileExtension; }
    bool MultiSelect() const { return m_multiSelect; }
    // Pairs of description and pattern, each followed by a NUL, ended by one more NUL.
    void setFilter(const QString& filter) { m_filter = filter; }
    void setFlags(qint32 flags) { m_flags = flags; }
    void sethWnd(QWidget* owner) { m_owner = owner; }
    void setMaxFileSize(qint16 size) { m_maxFileSize = size; }

    // The filter list as the dialog's name filters, "Text Files (*.txt)";
    // several patterns parted by ";" become one filter with the patterns
    // parted by blanks, and "*.*" matches every name as it does on Windows.
    QStringList nameFilters() const;

private:
    void show(bool save);
    void failed();

    QString m_initDir;
    qint16 m_filterIndex = 1;
    QString m_fileTitle;
    QString m_fileName;
    QString m_dialogTitle;
    QString m_defaultExtension;
    QString m_filter = QStringLiteral("All Files (*.*)") + QChar(0) + "*.*" + QChar(0) + QChar(0);
    qint32 m_flags = 0;
    QWidget* m_owner = nullptr;
    qint16 m_maxFileSize = 2048;
    bool m_cancelPressed = false;
    QString m_fileExtension;
    bool m_multiSelect = false;
};

} // namespace kora
