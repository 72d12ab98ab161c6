#pragma once

#include "database/Database.h"
#include "database/Value.h"
#include "output/LabelSheet.h"
#include "output/ReportDefinition.h"

#include <QFont>
#include <QPointF>

#include <functional>
#include <map>
#include <string>

class QPagedPaintDevice;
class QPainter;

namespace kora {

// KORA's report engine: lays out the rows of the scratch report database on
// pages after a report definition, on a printer, a preview or a PDF file.
class ReportRenderer
{
public:
    ReportRenderer(ReportDefinition definition, Database& scratch);

    // withClasses: the report reads table CLASS beside table PRIME (detail reports).
    void setTables(bool withClasses) { m_withClasses = withClasses; }
    // A formula's text as the engine takes it: a literal in double quotes.
    void setFormula(const std::string& name, const std::string& text);
    // A sort field such as "{PRIME.NAME1}"; direction 1 ascending, 0 descending,
    // records without the value last either way.
    void addSortField(const std::string& field, int direction);
    // ORDER BY terms over the report's tables, for an order that no sort
    // field gives (the renewal order).
    void addSortTerms(const std::string& terms);
    // Label reports (a grid of places) only: where the labels start and how
    // far they are shifted, or a test sheet; other reports take no notice.
    void setLabelSheet(const LabelSheet& sheet) { m_labels = sheet; }

    // Sets the device's page to the definition's sheet.
    void preparePage(QPagedPaintDevice& device) const;
    // Paints every page; returns the number of pages.
    int render(QPagedPaintDevice& device);

    // The statement that reads the report's rows.
    std::string rowsQuery() const;

private:
    using Fields = std::function<Value(const std::string&)>;

    // filled, when given, is set when any field of the text has a value.
    std::string expand(const std::string& text, const Fields& fields, int n = -1,
                       bool* filled = nullptr) const;
    QFont font(const std::string& name) const;
    void paintBand(QPainter& painter, const ReportDefinition::Band& band, double x, double y,
                   const Fields& fields, std::string* overflow);
    void paintFrame(QPainter& painter);
    // The top left corner of a label place on its page, in inches.
    QPointF placeCorner(int slot) const;
    void paintTestSheet(QPainter& painter);
    double px(double inches) const { return inches * m_resolution; }

    ReportDefinition m_definition;
    Database& m_scratch;
    bool m_withClasses = false;
    std::map<std::string, std::string> m_formulas;
    std::string m_orderBy;
    LabelSheet m_labels;
    QPagedPaintDevice* m_device = nullptr;
    int m_resolution = 1200;
    int m_page = 0;
    const ReportDefinition::Item* m_wrapItem = nullptr;
};

} // namespace kora
