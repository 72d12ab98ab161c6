#pragma once

#include "loading/LoadProgress.h"

class QWidget;

namespace kora {

class TITLE;

// The loads' progress on the splash, or only the window events handled when
// there is none; their questions asked in a message box.
class WindowProgress : public LoadProgress
{
public:
    WindowProgress(QWidget* parent, TITLE* splash) : m_parent(parent), m_splash(splash) {}

    void status(const std::string& text) override;
    bool agrees(const std::string& question) override;

private:
    QWidget* m_parent;
    TITLE* m_splash;
};

} // namespace kora
