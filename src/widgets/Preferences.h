#pragma once

#include <QString>
#include <QVariant>

namespace kora {

// The agent's own choices that outlast a session (the search mode, the columns
// shown, the last export folder, label offsets): an INI file in the user's
// configuration folder, never in the program folder the agents share. Keys
// group with '/', as "workspace/INITIAL/columns".
class Preferences
{
public:
    static QVariant value(const QString& key, const QVariant& fallback = {});
    static void setValue(const QString& key, const QVariant& value);
    // A key made safe to use as one group of a longer key (a workspace or
    // printer name may hold '/' or '\').
    static QString group(const QString& name);
};

} // namespace kora
