#include "windows/CompanyGridModel.h"

#include "base/Dates.h"
#include "results/OrderedCompanies.h"
#include "widgets/HeaderMarking.h"

#include <QBrush>

namespace kora {

CompanyGridModel::CompanyGridModel(OrderedCompanies& companies, std::vector<Column> columns,
                                   bool redOmitted, QObject* parent)
    : QAbstractTableModel(parent), m_companies(companies), m_columns(std::move(columns)),
      m_redOmitted(redOmitted)
{
}

int CompanyGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_companies.count());
}

int CompanyGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CompanyGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Column& column = m_columns[index.column()];
    if (role == Qt::TextAlignmentRole && column.format == Format::Mod)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ForegroundRole)
        return {};
    const CompanyRow* row = m_companies.row(index.row());
    if (!row)
        return {};
    if (role == Qt::ForegroundRole) {
        if (m_redOmitted && row->text("Omit") == "Y")
            return QBrush(QColor(255, 0, 0));
        return {};
    }
    if (column.format == Format::Mod) {
        const Value mod = row->field(column.field);
        return mod.isNull() ? QString() : QString::number(mod.toDouble(), 'f', 3);
    }
    const std::string value = row->text(column.field);
    if (column.format == Format::Date)
        return QString::fromStdString(Dates::toMonthDayYear(value));
    // Delivered texts are padded to their width; the padding after a text is
    // not shown (a mark of a single blank stays as it is).
    QString text = QString::fromStdString(value);
    while (text.endsWith(QLatin1Char(' ')) && !text.trimmed().isEmpty())
        text.chop(1);
    return text;
}

QVariant CompanyGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(m_columns.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].header;
    return headerMarking(role, section == m_markedColumn);
}

QModelIndexList CompanyGridModel::match(const QModelIndex&, int, const QVariant&, int,
                                        Qt::MatchFlags) const
{
    return {};
}

void CompanyGridModel::readRestInBackground(RowReader::Open open, size_t firstRows)
{
    m_companies.readRestInBackground(std::move(open), firstRows, [this] {
        QMetaObject::invokeMethod(
            this, [this] { takeRest(false); }, Qt::QueuedConnection);
    });
}

void CompanyGridModel::load(const RowQuery& all, const std::string& firstRowsSql)
{
    beginResetModel();
    m_companies.load(all, firstRowsSql);
    endResetModel();
    if (!m_companies.counting())
        emit counted();
}

void CompanyGridModel::takeRest(bool wait)
{
    if (!m_companies.counting())
        return;
    if (m_companies.fetchRest(wait)) {
        const int shown = rowCount();
        const auto all = static_cast<int>(m_companies.fetchedCount());
        if (all > shown)
            beginInsertRows({}, shown, all - 1);
        const bool moved = m_companies.takeRest();
        if (all > shown)
            endInsertRows();
        if (moved && shown > 0)
            emit dataChanged(index(0, 0), index(shown - 1, columnCount() - 1));
    }
    if (!m_companies.counting())
        emit counted();
}

void CompanyGridModel::rowChanged(int row)
{
    m_companies.forget(row);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void CompanyGridModel::refresh()
{
    m_companies.forgetAll();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void CompanyGridModel::setMarkedColumn(int column)
{
    m_markedColumn = column;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

} // namespace kora
