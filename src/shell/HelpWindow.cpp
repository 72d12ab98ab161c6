#include "shell/HelpWindow.h"

#include "widgets/Dialogs.h"
#include "widgets/HourglassGuard.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kora {

HelpWindow::HelpWindow(QWidget* owner, const QString& html)
    : QDialog(owner), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("KORA Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser->setObjectName(QStringLiteral("KoraHelp"));
    m_browser->setOpenLinks(true);
    m_browser->setHtml(html);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    resize(640, 560);
}

void HelpWindow::showContents(QWidget* owner, const QString& programFolder)
{
    HelpWindow* window =
        owner ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!window) {
        QFile file(programFolder + QStringLiteral("KORA.HLP"));
        QString text;
        bool opened;
        {
            HourglassGuard hourglass;
            opened = file.open(QIODevice::ReadOnly);
            if (opened)
                text = QString::fromUtf8(file.readAll());
        }
        if (!opened) {
            Dialogs::tell(
                owner, Dialogs::defaultTitle(),
                QStringLiteral("The help file %1 could not be opened.").arg(file.fileName()),
                QMessageBox::Warning);
            return;
        }
        window = new HelpWindow(owner, text);
    }
    window->m_browser->scrollToAnchor(QStringLiteral("contents"));
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace kora
