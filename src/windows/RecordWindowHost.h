#pragma once

#include "results/FollowUps.h"

#include <optional>

class QPlainTextEdit;
class QString;
class QWidget;

namespace kora {

class Database;

// What the record window needs of the result list that opened it: its
// database, its note lock and the company it shows.
class RecordWindowHost
{
public:
    virtual ~RecordWindowHost() = default;

    // The list as a widget: the record window's owner closes with it.
    virtual QWidget* listWidget() = 0;
    virtual Database& database() = 0;
    // The state code of the open state database.
    virtual const QString& state() const = 0;
    virtual void GETNOTES(const QString& file, const QString& sequence, QPlainTextEdit* NOTE) = 0;
    virtual void SETNOTES(QPlainTextEdit* NOTE) = 0;
    virtual void releaseNotes() = 0;
    // Stores the follow-up of the company GETNOTES locked (nullopt clears it).
    virtual void storeFollowUp(const std::optional<FollowUp>& followUp) = 0;
    virtual void refreshCompany() = 0;
    virtual void positionOn(const QString& file, const QString& sequence) = 0;
};

} // namespace kora
