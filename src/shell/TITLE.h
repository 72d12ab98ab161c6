#pragma once

#include "loading/LoadProgress.h"

#include <QWidget>

class QLabel;
class QFrame;

namespace kora {

// The splash window: shown first, kept on screen while the main window
// loads, and brought to the front with a status line during an update run.
class TITLE : public QWidget, public LoadProgress
{
    Q_OBJECT

public:
    explicit TITLE(QWidget* parent = nullptr);

    // Shows the program version (the main window's lblProgram caption).
    void setVersion(const QString& version);
    // Shows a status line and repaints at once.
    void setStatus(const QString& text);
    // A data load's progress: shown at once, and pending window events run so
    // that the program stays painted during a long load.
    void status(const std::string& text) override;
    // Keeps the window above all others, for the update run.
    void makeTopmost();

    // The program's picture, also its window icon.
    static QPixmap logo(qreal pixelRatio = 1.0);

private:
    QFrame* m_panel;  // SSPanel1
    QLabel* m_image;  // Image1
    QLabel* m_title;  // Label1
    QLabel* m_label2; // Label2
    QLabel* m_label3; // Label3
    QLabel* m_label4; // Label4
    QLabel* m_status; // lblStatus
};

} // namespace kora
