#pragma once

#include <QLabel>

namespace kora {

// A caption whose mnemonic moves the focus to the control it names.
inline QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace kora
