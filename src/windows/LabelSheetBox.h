#pragma once

#include "output/LabelSheet.h"
#include "output/PrintRun.h"

#include <QGroupBox>

class QCheckBox;
class QPrinter;
class QSpinBox;

namespace kora {

// The "Label Sheet" frame of the print window: the label to start at on a
// used laser sheet, the shift of the labels for the printer in 1/32 inch, and
// a test sheet in place of the companies. The shift is the printer's own: it
// is kept per printer name in the preferences and shown again for that printer.
class LabelSheetBox : public QGroupBox
{
    Q_OBJECT

public:
    LabelSheetBox(QPrinter& printer, QWidget* parent);

    // Laser labels use every control; dot-matrix labels run on continuous
    // forms and always start at their first; other formats use none.
    void formatChosen(PrintRun::Format format);
    // Shows the shift kept for the printer as it is now set up.
    void showPrinterOffsets();
    LabelSheet sheet() const;

protected:
    // Each showing starts at label 1 without a test sheet.
    void showEvent(QShowEvent* event) override;

private:
    QString offsetKey(const char* direction) const;
    void saveOffsets() const;

    QPrinter& m_printer;
    QSpinBox* m_firstLabel; // FIRSTLABEL
    QSpinBox* m_across;     // OFFSETACROSS
    QSpinBox* m_down;       // OFFSETDOWN
    QCheckBox* m_testSheet; // TESTSHEET
};

} // namespace kora
