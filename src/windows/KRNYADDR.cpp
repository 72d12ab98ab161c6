#include "windows/KRNYADDR.h"

#include "widgets/CenterForm.h"
#include "widgets/Dialogs.h"
#include "windows/WindowHost.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kora {

KRNYADDR::KRNYADDR(WindowHost& host, const QString& file, const QString& sequence,
                   const QString& name1)
    : QDialog(host.hostWindow()), m_file(file), m_sequence(sequence),
      m_addresses(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("KRNYADDR"));
    setWindowTitle(QStringLiteral("KRNYADDR - ") + name1);
    setModal(true);

    m_addresses->setObjectName(QStringLiteral("ADDRESSES"));
    m_addresses->setReadOnly(true);
    m_addresses->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_addresses->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(m_addresses->font());
    m_addresses->setMinimumSize(metrics.horizontalAdvance(QString(38, QLatin1Char('0'))),
                                metrics.lineSpacing() * 10);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("Command1"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_addresses, 1);
    layout->addLayout(buttons);

    const std::string path = host.programValues().stateDatabasePath();
    try {
        m_db.open(path, host.programValues().stateConnect);
        m_addressTable = std::make_unique<TableRecordSet>(m_db, "ADDRESSES");
        m_addressTable->setIndex("PRIMARY");
    } catch (const DbError& error) {
        m_openFailure = QStringLiteral("The New York address database %1 could not be opened.\n%2")
                            .arg(QString::fromStdString(path), QString::fromUtf8(error.what()));
    }
    adjustSize();
    CENTERFORM(this);
}

void KRNYADDR::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (!m_openFailure.isEmpty()) {
        Dialogs::tell(this, Dialogs::defaultTitle(), m_openFailure, QMessageBox::Warning);
        // Closed once the window is up, so that an exec() returns too.
        QTimer::singleShot(0, this, [this] { done(Rejected); });
        return;
    }
    showAddress();
}

void KRNYADDR::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        showAddress();
}

void KRNYADDR::showAddress()
{
    if (!m_addressTable)
        return;
    try {
        m_addressTable->seek("=", {Value(m_file.toStdString()), Value(m_sequence.toStdString())});
        if (!m_addressTable->noMatch())
            m_addresses->setPlainText(
                QString::fromStdString(m_addressTable->field("ADDRESSES").toString()));
        else
            // Said in grey inside the box, which itself stays empty.
            m_addresses->setPlaceholderText(
                QStringLiteral("No full address is on file for this company."));
    } catch (const DbError&) {
        // A look-up that fails leaves the text as it was, like one that finds nothing.
    }
}

} // namespace kora
