#pragma once

#include "output/ExportChoice.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace kora {

class Cmdlg;
class WindowHost;

// The export window: the user picks a layout, a sort and the capitalising,
// then a file (typed into the path box, or chosen in the save dialog), and the
// companies of the current result are written to it by the ExportWriter. The
// window says when the export is done and closes itself when it has run.
class KREXPORT : public QDialog
{
    Q_OBJECT

public:
    // source: the statement of the current result, with its ORDER BY when it
    // has one; sheetTitle: the lookup's title, the workbook's sheet name.
    KREXPORT(WindowHost& host, std::string source, QString sheetTitle);
    ~KREXPORT() override;

    static constexpr int kFormats = 5; // four text layouts and the workbook

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    void runExport(); // Command1
    ExportChoice choice() const;
    // Sets the save dialog's defaults for the chosen layout; false when cancelled.
    bool chooseOutputFile();
    // The chosen file; nothing when the dialog was cancelled or the user would
    // not replace the file of that name.
    std::optional<QString> askForOutputFile();
    // The folder of the last export while it is there, else the documents folder.
    QString exportFolder() const;
    // Remembers the layout and folder of a finished export and says it is done.
    void finishRun(const QString& path, long long exported);
    void endRun();

    WindowHost& m_host;
    std::string m_source;
    QString m_sheetTitle;
    bool m_shown = false;
    std::unique_ptr<Cmdlg> m_fileDialog; // made on first use

    QRadioButton* m_format[kFormats] = {}; // EXPTFORM, by index
    QRadioButton* m_byName;                // NAMEA
    QRadioButton* m_byExpiration;          // EXPIRE
    QRadioButton* m_byZip;                 // ZIP
    QCheckBox* m_renewal;                  // RENEWAL: the expiration sort from today on
    QCheckBox* m_lowerCase;                // LOWERCASE
    QLineEdit* m_outPath;                  // OUTPATH
    QLineEdit* m_showCount;                // SHOWCOUNT
    QLabel* m_progressText;                // Label1
    QProgressBar* m_progress;
    QPushButton* m_ok;     // Command1
    QPushButton* m_cancel; // Command2
};

} // namespace kora
