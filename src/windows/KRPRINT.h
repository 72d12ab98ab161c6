#pragma once

#include "output/PrintRun.h"

#include <QDialog>

#include <string>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace kora {

class LabelSheetBox;
class WindowHost;

// "Print Lookup Information": prints the companies of the lookup on screen as
// the detail report, the summary or labels, on the printer, in a preview or in
// a PDF file.
class KRPRINT : public QDialog
{
    Q_OBJECT

public:
    // The lookup shown in the result list.
    struct Lookup
    {
        std::string recordSource; // its statement with the grid's ORDER BY
        QString title;            // the caption of its tab
        long long count = 0;      // the companies it selects
    };

    KRPRINT(WindowHost& host, Lookup lookup);

    PrintRun::Format format() const;
    PrintRun::Sort sort() const;
    bool toWindow() const;
    bool toPdf() const;
    // The Copies box as a number, at least 1.
    int copies() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void outputChosen();
    void setUpPrinter();
    // OK: fills the scratch database, opens the report and prints or previews it.
    void Command1_Click();
    void Command2_Click();
    void showCount(long long count);
    void fill(PrintRun& run);
    // The PDF file the user chose, remembering its folder; empty when cancelled.
    QString choosePdfFile();
    // pdf: the file to write instead of printing or previewing.
    void print(PrintRun& run, const QString& pdf);

    WindowHost& m_host;
    Lookup m_lookup;
    QRadioButton* m_full;       // FULL
    QRadioButton* m_summary;    // SUMMARY
    QRadioButton* m_laserLabel; // LASERLABEL
    QRadioButton* m_dotLabel;   // DOTLABEL
    QRadioButton* m_byName;     // NAME1
    QRadioButton* m_byExpire;   // EXPIRE
    QRadioButton* m_byZip;      // ZIP
    QCheckBox* m_renewal;       // RENEWAL: the expiration sort from today on
    QRadioButton* m_toPrinter;  // POUTPUT(0)
    QRadioButton* m_toWindow;   // POUTPUT(1)
    QRadioButton* m_toPdf;      // POUTPUT(2)
    QLineEdit* m_copies;        // COPIES
    QLabel* m_copiesLabel;      // LCOPIES
    QPushButton* m_setup;       // SETUPCMD
    LabelSheetBox* m_labels;
    QLineEdit* m_showCount; // SHOWCOUNT
    QLabel* m_status;       // Label1
    QProgressBar* m_progress;
    QPushButton* m_ok;     // Command1
    QPushButton* m_cancel; // Command2
};

} // namespace kora
