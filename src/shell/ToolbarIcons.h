#pragma once

#include <QIcon>

namespace kora {

// The pictures of the main window's ten toolbar buttons, drawn in one flat
// style so that they scale to any button size.
class ToolbarIcons
{
public:
    // index 0 to 9, in the order of the toolbar.
    static QIcon icon(int index);
};

} // namespace kora
