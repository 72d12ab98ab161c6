#pragma once

#include "database/Database.h"
#include "database/TableRecordSet.h"

#include <QDialog>

#include <memory>

class QPlainTextEdit;

namespace kora {

class WindowHost;

// The full mailing address of a New York employer, up to eight lines per
// load record, from the ADDRESSES table of KORANY.MDB, which the window opens
// itself whatever state is open.
class KRNYADDR : public QDialog
{
    Q_OBJECT

public:
    // The caption reads "KRNYADDR - " and the company's NAME1.
    KRNYADDR(WindowHost& host, const QString& file, const QString& sequence, const QString& name1);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showAddress();

    QString m_file;
    QString m_sequence;
    QString m_openFailure;
    bool m_shown = false;
    Database m_db;
    std::unique_ptr<TableRecordSet> m_addressTable;
    QPlainTextEdit* m_addresses; // ADDRESSES
};

} // namespace kora
