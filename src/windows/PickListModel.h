#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <string>
#include <utility>
#include <vector>

namespace kora {

class Database;

// The rows of the lookup editor's pick list, a code and its description each,
// held in the order of the query that filled them so that the search-for box
// can reposition at once on every key.
class PickListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit PickListModel(QObject* parent = nullptr);

    // Runs the query and keeps its two named columns; the header of the
    // sorted column is marked. Throws DbError when the query fails.
    void load(Database& db, const std::string& sql, const std::string& codeField,
              const std::string& descriptionField, const QStringList& headers, int sortedColumn);

    QString code(int row) const { return m_rows[static_cast<size_t>(row)].first; }
    QString description(int row) const { return m_rows[static_cast<size_t>(row)].second; }
    // The first row whose text in the column is at or after the text, compared
    // without regard to case as the database orders it; -1 when there is none.
    int firstAtOrAfter(int column, const QString& text) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<std::pair<QString, QString>> m_rows;
    QStringList m_headers;
    int m_sortedColumn = 0;
};

} // namespace kora
