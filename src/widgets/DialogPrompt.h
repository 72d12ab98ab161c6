#pragma once

#include "base/Prompt.h"

class QWidget;

namespace kora {

// A Prompt shown as message boxes over a window.
class DialogPrompt : public Prompt
{
public:
    explicit DialogPrompt(QWidget* parent) : m_parent(parent) {}

    void tell(const std::string& text, const std::string& title, Icon icon) override;
    bool ask(const std::string& text, const std::string& title, Icon icon) override;

private:
    QWidget* m_parent;
};

} // namespace kora
