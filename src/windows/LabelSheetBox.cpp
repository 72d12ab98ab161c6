#include "windows/LabelSheetBox.h"

#include "widgets/BuddyLabel.h"
#include "widgets/Preferences.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QSpinBox>

namespace kora {

namespace {

QSpinBox* numberBox(const char* name, int least, int most, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(least, most);
    return box;
}

} // namespace

LabelSheetBox::LabelSheetBox(QPrinter& printer, QWidget* parent)
    : QGroupBox(QStringLiteral("Label Sheet"), parent), m_printer(printer)
{
    setObjectName(QStringLiteral("LabelSheet"));
    // Up to four inches either way, more than any sheet is ever off.
    const int most = 4 * LabelSheet::kStepsPerInch;
    m_firstLabel = numberBox("FIRSTLABEL", 1, LabelSheet::kMostLabels, this);
    m_across = numberBox("OFFSETACROSS", -most, most, this);
    m_down = numberBox("OFFSETDOWN", -most, most, this);
    m_testSheet = new QCheckBox(QStringLiteral("Alignment test sheet only"), this);
    m_testSheet->setObjectName(QStringLiteral("TESTSHEET"));

    auto* downRow = new QHBoxLayout;
    downRow->addWidget(buddyLabel(QStringLiteral("down"), m_down, this));
    downRow->addWidget(m_down);
    downRow->addWidget(new QLabel(QStringLiteral("in 1/32 inch"), this));
    downRow->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addWidget(buddyLabel(QStringLiteral("Start at label"), m_firstLabel, this), 0, 0);
    layout->addWidget(m_firstLabel, 0, 1);
    layout->addWidget(m_testSheet, 0, 2);
    layout->addWidget(buddyLabel(QStringLiteral("Shift across"), m_across, this), 1, 0);
    layout->addWidget(m_across, 1, 1);
    layout->addLayout(downRow, 1, 2);
    layout->setColumnStretch(2, 1);

    showPrinterOffsets();
    for (QSpinBox* offset : {m_across, m_down})
        connect(offset, &QSpinBox::valueChanged, this, &LabelSheetBox::saveOffsets);
}

void LabelSheetBox::formatChosen(PrintRun::Format format)
{
    const bool laser = format == PrintRun::Format::LaserLabels;
    setEnabled(laser || format == PrintRun::Format::DotLabels);
    m_firstLabel->setEnabled(laser);
}

QString LabelSheetBox::offsetKey(const char* direction) const
{
    const QString printer = m_printer.printerName();
    return QStringLiteral("labels/") +
           Preferences::group(printer.isEmpty() ? QStringLiteral("(no printer)") : printer) +
           QLatin1Char('/') + QLatin1String(direction);
}

void LabelSheetBox::showPrinterOffsets()
{
    const QSignalBlocker acrossKept(m_across);
    const QSignalBlocker downKept(m_down);
    m_across->setValue(Preferences::value(offsetKey("across"), 0).toInt());
    m_down->setValue(Preferences::value(offsetKey("down"), 0).toInt());
}

void LabelSheetBox::saveOffsets() const
{
    Preferences::setValue(offsetKey("across"), m_across->value());
    Preferences::setValue(offsetKey("down"), m_down->value());
}

LabelSheet LabelSheetBox::sheet() const
{
    LabelSheet sheet;
    if (!isEnabled())
        return sheet;
    sheet.firstLabel = m_firstLabel->isEnabled() ? m_firstLabel->value() : 1;
    sheet.across = m_across->value();
    sheet.down = m_down->value();
    sheet.testSheet = m_testSheet->isChecked();
    return sheet;
}

void LabelSheetBox::showEvent(QShowEvent* event)
{
    m_firstLabel->setValue(1);
    m_testSheet->setChecked(false);
    showPrinterOffsets();
    QGroupBox::showEvent(event);
}

} // namespace kora
