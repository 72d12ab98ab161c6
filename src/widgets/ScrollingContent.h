#pragma once

#include <QFrame>
#include <QScrollArea>
#include <QString>

namespace kora {

// A frameless scroll area around a window's content, so that on a screen too
// small for the window it scrolls with every control within reach.
inline QScrollArea* scrollingContent(QWidget* content, const char* name, QWidget* parent)
{
    auto* scroll = new QScrollArea(parent);
    scroll->setObjectName(QString::fromLatin1(name));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    return scroll;
}

} // namespace kora
