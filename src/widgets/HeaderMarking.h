#pragma once

#include <QVariant>

namespace kora {

// How a grid header marks the column its rows are sorted by: the background
// of an entry box and bold text; the other headers keep the button colour.
QVariant headerMarking(int role, bool marked);

} // namespace kora
