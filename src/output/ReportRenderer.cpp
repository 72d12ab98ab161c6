#include "output/ReportRenderer.h"

#include "base/Blanks.h"
#include "base/Dates.h"
#include "database/ForwardCursor.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace kora {

namespace {

// Breaks a text into lines no wider than the width, at blanks where it can.
std::vector<QString> wrapped(const QString& text, const QFontMetricsF& metrics, double width)
{
    std::vector<QString> lines;
    // Blank lines before and after the text (a memo's closing line end) take no room.
    for (const QString& paragraph : text.trimmed().split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.trimmed().split(QLatin1Char(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

// A whole amount kept as digits with leading zeros ("0102384") as it is read:
// "102,384". Other texts stay as they are.
std::string amount(std::string_view stored)
{
    const std::string text(trimBlanks(stored));
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return text;
    const size_t first = text.find_first_not_of('0');
    const std::string whole = first == std::string::npos ? "0" : text.substr(first);
    std::string grouped;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += ',';
        grouped += whole[i];
    }
    return grouped;
}

std::string formatted(const Value& value, const std::string& format)
{
    if (value.isNull())
        return {};
    if (format == "date") {
        const std::string text = value.toString();
        if (text.size() == 10 && text[4] == '-')
            return text.substr(5, 2) + "/" + text.substr(8, 2) + "/" + text.substr(0, 4);
        return text;
    }
    if (format == "mod" || format == "money") {
        char text[32];
        std::snprintf(text, sizeof text, format == "mod" ? "%.3f" : "%.2f", value.toDouble());
        return text;
    }
    if (format == "amount")
        return amount(value.toString());
    if (format == "yesno")
        return value.toBool() ? "Yes" : "No";
    return withoutTrailingBlanks(value.toString());
}

} // namespace

ReportRenderer::ReportRenderer(ReportDefinition definition, Database& scratch)
    : m_definition(std::move(definition)), m_scratch(scratch)
{
}

void ReportRenderer::setFormula(const std::string& name, const std::string& text)
{
    std::string literal = text;
    if (literal.size() >= 2 && literal.front() == '"' && literal.back() == '"')
        literal = literal.substr(1, literal.size() - 2);
    m_formulas[name] = literal;
}

void ReportRenderer::addSortField(const std::string& field, int direction)
{
    std::string name = field;
    if (name.size() > 2 && name.front() == '{' && name.back() == '}')
        name = name.substr(1, name.size() - 2);
    // A record without the value (a company without mods has no expiration)
    // comes after those with one, whichever the direction.
    addSortTerms(name + (direction ? " NULLS LAST" : " DESC NULLS LAST"));
}

void ReportRenderer::addSortTerms(const std::string& terms)
{
    m_orderBy += (m_orderBy.empty() ? " ORDER BY " : ", ") + terms;
}

std::string ReportRenderer::rowsQuery() const
{
    return std::string("SELECT * FROM PRIME") +
           (m_withClasses ? " LEFT JOIN CLASS USING (FILE, SEQUENCE)" : "") +
           (m_orderBy.empty() ? " ORDER BY PRIME.rowid" : m_orderBy + ", PRIME.rowid");
}

void ReportRenderer::preparePage(QPagedPaintDevice& device) const
{
    const QSizeF size(m_definition.pageWidth, m_definition.pageHeight);
    QPageSize page(size, QPageSize::Inch, QString(), QPageSize::ExactMatch);
    const QPageSize letter(QPageSize::Letter);
    if (letter.size(QPageSize::Inch) == size)
        page = letter;
    device.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

QFont ReportRenderer::font(const std::string& name) const
{
    const auto& choice = m_definition.fonts.at(name);
    QFont font(QString::fromStdString(choice.family));
    font.setPointSizeF(choice.points);
    font.setBold(choice.bold);
    return font;
}

std::string ReportRenderer::expand(const std::string& text, const Fields& fields, int n,
                                   bool* filled) const
{
    // {n} inside a field name is the row number of a table column: {MOD{n}}.
    std::string source = text;
    if (n >= 0)
        for (size_t at = source.find("{n}"); at != std::string::npos; at = source.find("{n}"))
            source.replace(at, 3, std::to_string(n));
    std::string out;
    size_t i = 0;
    while (i < source.size()) {
        const size_t open = source.find('{', i);
        const size_t close = open == std::string::npos ? open : source.find('}', open);
        if (close == std::string::npos) {
            out += source.substr(i);
            break;
        }
        out += source.substr(i, open - i);
        std::string name = source.substr(open + 1, close - open - 1);
        i = close + 1;
        std::string format;
        if (const size_t colon = name.find(':'); colon != std::string::npos) {
            format = name.substr(colon + 1);
            name = name.substr(0, colon);
        }
        if (name == "PAGE")
            out += std::to_string(m_page);
        else if (name == "TODAY")
            out += formatted(Value(Dates::today()), "date");
        else if (const auto formula = m_formulas.find(name); formula != m_formulas.end())
            out += formula->second;
        else {
            const std::string value = formatted(fields(name), format);
            if (filled && !trimBlanks(value).empty())
                *filled = true;
            out += value;
        }
    }
    return out;
}

void ReportRenderer::paintBand(QPainter& painter, const ReportDefinition::Band& band, double x,
                               double y, const Fields& fields, std::string* overflow)
{
    using Kind = ReportDefinition::Item::Kind;
    for (const auto& item : band.items) {
        const double left = px(x + item.x);
        const double top = px(y + item.y);
        if (item.kind == Kind::Rule) {
            painter.setPen(QPen(Qt::black, px(0.01)));
            painter.drawLine(QPointF(left, top), QPointF(left + px(item.width), top));
            continue;
        }
        QFont itemFont = font(item.font);
        painter.setFont(itemFont);
        painter.setPen(Qt::black);
        const QFontMetricsF metrics(itemFont, m_device);
        auto draw = [&](const QString& text, double at, double lineTop, double fitWidth) {
            double width = metrics.horizontalAdvance(text);
            if (fitWidth > 0 && width > fitWidth) {
                // Shrunk to fit: a name is never cut off on a label.
                QFont smaller = itemFont;
                smaller.setPointSizeF(itemFont.pointSizeF() * fitWidth / width * 0.98);
                painter.setFont(smaller);
                painter.drawText(QPointF(at, lineTop + metrics.ascent()), text);
                painter.setFont(itemFont);
                return;
            }
            painter.drawText(QPointF(item.right ? at - width : at, lineTop + metrics.ascent()),
                             text);
        };
        if (item.kind == Kind::Text) {
            draw(QString::fromStdString(expand(item.texts[0], fields)), left, top, 0);
        } else if (item.kind == Kind::Lines) {
            double lineTop = top;
            for (const auto& text : item.texts) {
                // A line whose fields are all empty is left out, not printed blank.
                bool filled = false;
                const std::string line(trimBlanks(expand(text, fields, -1, &filled)));
                if (!filled)
                    continue;
                draw(QString::fromStdString(line), left, lineTop, px(item.width));
                lineTop += px(item.step);
            }
        } else if (item.kind == Kind::Rows) {
            for (int n = item.first; n <= item.last; ++n)
                draw(QString::fromStdString(expand(item.texts[0], fields, n)), left,
                     top + px(item.step) * (n - item.first), px(item.width));
        } else if (item.kind == Kind::Wrap) {
            const QString text = QString::fromStdString(expand(item.texts[0], fields));
            const double bottom =
                px(m_definition.pageHeight - m_definition.bottom - m_definition.footer.height);
            const auto lines = wrapped(text, metrics, px(item.width));
            const size_t most = item.last > 0 ? static_cast<size_t>(item.last) : lines.size();
            double lineTop = top;
            size_t index = 0;
            for (; index < std::min(most, lines.size()) && lineTop + metrics.height() <= bottom;
                 ++index) {
                painter.drawText(QPointF(left, lineTop + metrics.ascent()), lines[index]);
                lineTop += metrics.lineSpacing();
            }
            QStringList rest;
            for (; index < lines.size(); ++index)
                rest << lines[index];
            if (overflow && !rest.isEmpty() && item.last == 0) {
                *overflow = rest.join(QLatin1Char('\n')).toStdString();
                m_wrapItem = &item;
            }
        }
    }
}

void ReportRenderer::paintFrame(QPainter& painter)
{
    const Fields none = [](const std::string&) { return Value(); };
    paintBand(painter, m_definition.header, m_definition.left, m_definition.top, none, nullptr);
    paintBand(painter, m_definition.footer, m_definition.left,
              m_definition.pageHeight - m_definition.bottom - m_definition.footer.height, none,
              nullptr);
}

QPointF ReportRenderer::placeCorner(int slot) const
{
    const auto& d = m_definition;
    if (!d.isGrid())
        return {d.left, d.top + d.header.height + slot * d.record.height};
    const double shift = 1.0 / LabelSheet::kStepsPerInch;
    return {d.left + (slot % d.columns) * (d.cellWidth + d.columnGap) + m_labels.across * shift,
            d.top + (slot / d.columns) * (d.cellHeight + d.rowGap) + m_labels.down * shift};
}

void ReportRenderer::paintTestSheet(QPainter& painter)
{
    const auto& d = m_definition;
    for (int slot = 0; slot < d.perPage; ++slot) {
        const QPointF corner = placeCorner(slot);
        painter.setPen(QPen(Qt::black, px(0.01)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(px(corner.x()), px(corner.y()), px(d.cellWidth), px(d.cellHeight)));
        // The label's own lines, each field shown by its name, the first by the place's number.
        const Fields sample = [slot](const std::string& name) {
            return Value(name == "NAME1" ? "TEST LABEL " + std::to_string(slot + 1) : name);
        };
        paintBand(painter, d.record, corner.x(), corner.y(), sample, nullptr);
    }
}

int ReportRenderer::render(QPagedPaintDevice& device)
{
    preparePage(device);
    m_device = &device;
    m_resolution = device.logicalDpiX();
    m_page = 0;
    QPainter painter(&device);
    const auto& d = m_definition;
    if (d.isGrid() && m_labels.testSheet) {
        m_page = 1;
        paintTestSheet(painter);
        painter.end();
        m_device = nullptr;
        return m_page;
    }
    ForwardCursor rows(m_scratch, rowsQuery());
    const Fields fields = [&rows](const std::string& name) {
        return rows.hasField(name) ? rows.field(name) : Value();
    };
    auto startPage = [&] {
        if (m_page > 0)
            device.newPage();
        ++m_page;
        paintFrame(painter);
    };
    // On a used sheet of labels the places before the first label stay empty.
    long long index = d.isGrid() ? std::clamp(m_labels.firstLabel - 1, 0, d.perPage - 1) : 0;
    while (rows.next()) {
        const int slot = static_cast<int>(index++ % d.perPage);
        if (slot == 0 || m_page == 0)
            startPage();
        const QPointF corner = placeCorner(slot);
        std::string overflow;
        paintBand(painter, d.record, corner.x(), corner.y(), fields, &overflow);
        // A long note goes on over further pages, below their header and the
        // continued band that names its record.
        while (!overflow.empty()) {
            startPage();
            paintBand(painter, d.continued, d.left, d.top + d.header.height, fields, nullptr);
            ReportDefinition::Item rest = *m_wrapItem;
            rest.y = 0;
            rest.texts = {"{ rest}"};
            const std::string text = std::exchange(overflow, std::string());
            const Fields restFields = [&text](const std::string&) { return Value(text); };
            paintBand(painter, ReportDefinition::Band{0, {rest}}, d.left,
                      d.top + d.header.height + d.continued.height, restFields, &overflow);
        }
    }
    if (m_page == 0)
        startPage();
    painter.end();
    m_device = nullptr;
    return m_page;
}

} // namespace kora
