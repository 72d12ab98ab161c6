#include "windows/PickListModel.h"

#include "lookup/CodedValues.h"
#include "widgets/HeaderMarking.h"

namespace kora {

PickListModel::PickListModel(QObject* parent) : QAbstractTableModel(parent) {}

void PickListModel::load(Database& db, const std::string& sql, const std::string& codeField,
                         const std::string& descriptionField, const QStringList& headers,
                         int sortedColumn)
{
    std::vector<std::pair<QString, QString>> rows;
    for (const auto& [code, description] :
         CodedValues::readTable(db, sql, codeField, descriptionField))
        rows.emplace_back(QString::fromStdString(code), QString::fromStdString(description));

    beginResetModel();
    m_rows = std::move(rows);
    m_headers = headers;
    m_sortedColumn = sortedColumn;
    endResetModel();
}

int PickListModel::firstAtOrAfter(int column, const QString& text) const
{
    for (size_t row = 0; row < m_rows.size(); ++row) {
        const QString& value = column == 0 ? m_rows[row].first : m_rows[row].second;
        if (value.compare(text, Qt::CaseInsensitive) >= 0)
            return static_cast<int>(row);
    }
    return -1;
}

int PickListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PickListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant PickListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return index.column() == 0 ? code(index.row()) : description(index.row());
}

QVariant PickListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headers.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_headers[section];
    return headerMarking(role, section == m_sortedColumn);
}

} // namespace kora
