#include "windows/KRNOTES.h"

#include "widgets/CenterForm.h"
#include "widgets/DialogPrompt.h"
#include "widgets/Dialogs.h"
#include "widgets/HourglassGuard.h"
#include "windows/WindowHost.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace kora {

namespace {

using Operation = NotesSafekeeping::Operation;

QString text(const std::string& caption)
{
    return QString::fromStdString(caption);
}

// A control that keeps its place in the layout while hidden, so the window
// does not change size as Check1 is ticked.
void keepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

KRNOTES::KRNOTES(WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_Option1(new QRadioButton(QStringLiteral("Backup"), this)),
      m_Option2(new QRadioButton(QStringLiteral("Restore"), this)),
      m_Option3(new QRadioButton(QStringLiteral("Merge"), this)), m_Check1(new QCheckBox(this)),
      m_Label1(new QLabel(this)), m_Dir1(new QLineEdit(this)),
      m_chooseFolder(new QPushButton(QStringLiteral("Change..."), this))
{
    setObjectName(QStringLiteral("KRNOTES"));
    setWindowTitle(QStringLiteral("Backup/Restore User Notes and Fields"));
    m_Option1->setObjectName(QStringLiteral("Option1"));
    m_Option2->setObjectName(QStringLiteral("Option2"));
    m_Option3->setObjectName(QStringLiteral("Option3"));
    m_Option1->setChecked(true);
    m_Check1->setObjectName(QStringLiteral("Check1"));
    m_Label1->setObjectName(QStringLiteral("Label1"));
    m_Dir1->setObjectName(QStringLiteral("Dir1"));
    m_Dir1->setReadOnly(true);
    m_Dir1->setMinimumWidth(320);
    m_chooseFolder->setObjectName(QStringLiteral("cmdFolder"));
    for (QWidget* widget : {static_cast<QWidget*>(m_Label1), static_cast<QWidget*>(m_Dir1),
                            static_cast<QWidget*>(m_chooseFolder)})
        keepPlaceWhenHidden(widget);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("CANCEL"), this);
    cancel->setObjectName(QStringLiteral("CANCEL"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_Option1, 0, 0, 1, 3);
    layout->addWidget(m_Option2, 1, 0, 1, 3);
    layout->addWidget(m_Option3, 2, 0, 1, 3);
    layout->addWidget(m_Check1, 3, 0, 1, 3);
    layout->addWidget(m_Label1, 4, 0);
    layout->addWidget(m_Dir1, 4, 1);
    layout->addWidget(m_chooseFolder, 4, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 5, 0, 1, 3);

    for (QRadioButton* option : {m_Option1, m_Option2, m_Option3})
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                applyCaptions();
        });
    connect(m_Check1, &QCheckBox::toggled, this, &KRNOTES::check1Toggled);
    connect(m_chooseFolder, &QPushButton::clicked, this, &KRNOTES::chooseFolder);
    connect(ok, &QPushButton::clicked, this, &KRNOTES::ok);
    connect(cancel, &QPushButton::clicked, this, &KRNOTES::reject);

    applyCaptions();
    adjustSize();
    CENTERFORM(this);
}

NotesSafekeeping::Operation KRNOTES::operation() const
{
    if (m_Option2->isChecked())
        return Operation::Restore;
    if (m_Option3->isChecked())
        return Operation::Merge;
    return Operation::Backup;
}

QString KRNOTES::folder() const
{
    return QDir::fromNativeSeparators(m_Dir1->text());
}

void KRNOTES::applyCaptions()
{
    m_Check1->setText(text(NotesSafekeeping::checkCaption(operation())));
    m_Label1->setText(text(NotesSafekeeping::folderCaption(operation())));
    const bool ticked = m_Check1->isChecked();
    for (QWidget* widget : {static_cast<QWidget*>(m_Label1), static_cast<QWidget*>(m_Dir1),
                            static_cast<QWidget*>(m_chooseFolder)}) {
        widget->setVisible(ticked);
        widget->setEnabled(ticked);
    }
}

void KRNOTES::check1Toggled(bool ticked)
{
    // Ticking asks for the other folder at once; leaving the chooser before
    // any folder was chosen leaves nothing to copy to or read from.
    if (ticked && !chooseFolder() && folder().isEmpty()) {
        const QSignalBlocker blocker(m_Check1);
        m_Check1->setChecked(false);
    }
    applyCaptions();
}

bool KRNOTES::chooseFolder()
{
    Dialogs::FileRequest request;
    request.kind = Dialogs::FileRequest::Kind::Folder;
    request.title = m_Check1->text();
    request.directory = folder().isEmpty() ? QDir::homePath() : folder();
    const Dialogs::FileAnswer answer = Dialogs::chooseFile(this, request);
    if (!answer.accepted || answer.files.isEmpty())
        return false;
    const QString chosen = answer.files.first();
    const QDir chosenDir(chosen);
    if (!chosenDir.exists() || !chosenDir.isReadable()) {
        Dialogs::tell(this, Dialogs::defaultTitle(),
                      QStringLiteral("Error Reading Drive ") + chosen, QMessageBox::NoIcon);
        return false;
    }
    m_Dir1->setText(QDir::toNativeSeparators(chosenDir.absolutePath()));
    return true;
}

void KRNOTES::ok()
{
    const ProgramValues& values = m_host.programValues();
    DialogPrompt prompt(this);
    NotesSafekeeping keeping(values.programFolder, values.state, values.stateConnect, prompt);
    const std::string chosenPath = m_Check1->isChecked() && !folder().isEmpty()
                                       ? keeping.pathIn(folder().toStdString())
                                       : std::string();
    const Operation chosenOperation = operation();
    NotesSafekeeping::Outcome outcome;
    {
        HourglassGuard hourglass;
        outcome = keeping.run(chosenOperation, chosenPath);
    }
    if (outcome != NotesSafekeeping::Outcome::Done)
        return;
    if (chosenOperation != Operation::Backup)
        emit userDataRestored();
    accept();
}

} // namespace kora
