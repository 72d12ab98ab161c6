#include "shell/KRWSPACE.h"

#include "base/Folders.h"
#include "base/Settings.h"
#include "base/StateCodes.h"
#include "demo/DemoInstallation.h"
#include "demo/FirstRun.h"
#include "safekeeping/StateAcceptance.h"
#include "shell/HelpWindow.h"
#include "shell/MASTER.h"
#include "shell/WindowProgress.h"
#include "widgets/CenterForm.h"
#include "widgets/DialogPrompt.h"
#include "widgets/Dialogs.h"
#include "widgets/HourglassGuard.h"
#include "widgets/NormalCursor.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kora {

namespace {

const QString kRemoveFailed = QStringLiteral("Could not remove workspace!");
const QString kTitle = QStringLiteral("Select Workspace");

} // namespace

KRWSPACE::KRWSPACE(MASTER& master)
    : QDialog(&master), m_master(master), m_workspace(new QComboBox(this)),
      m_state(new QComboBox(this)), m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_firstRun(new QFrame(this))
{
    setObjectName(QStringLiteral("KRWSPACE"));
    setWindowTitle(QStringLiteral("KORA"));
    m_workspace->setObjectName(QStringLiteral("WORKSPACE"));
    m_workspace->setEditable(true);
    m_workspace->setInsertPolicy(QComboBox::NoInsert);
    m_workspace->setMinimumWidth(220);
    m_state->setObjectName(QStringLiteral("STATE"));
    for (auto code : kStateCodes)
        m_state->addItem(QString::fromLatin1(code.data(), static_cast<int>(code.size())));
    m_ok->setObjectName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    auto* remove = new QPushButton(QStringLiteral("Delete"), this);
    remove->setObjectName(QStringLiteral("DELETE"));
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("Command1"));
    auto* exit = new QPushButton(QStringLiteral("E&xit"), this);
    exit->setObjectName(QStringLiteral("cmdExit"));

    auto* workspaceLabel = new QLabel(QStringLiteral("Workspace"), this);
    auto* stateLabel = new QLabel(QStringLiteral("State"), this);
    auto* fields = new QGridLayout;
    fields->addWidget(workspaceLabel, 0, 0);
    fields->addWidget(m_workspace, 1, 0);
    fields->addWidget(stateLabel, 2, 0);
    fields->addWidget(m_state, 3, 0, Qt::AlignLeft);
    fields->setRowStretch(4, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_ok, remove, help, exit})
        buttons->addWidget(button);
    buttons->addStretch(1);
    m_firstRun->setObjectName(QStringLiteral("firstRun"));
    m_firstRun->setFrameShape(QFrame::StyledPanel);
    auto* offer = new QLabel(QStringLiteral("This program folder holds no data yet. Lay out the "
                                            "demo data to try KORA, or choose the update files "
                                            "of a delivery to load them."),
                             m_firstRun);
    offer->setWordWrap(true);
    auto* demo = new QPushButton(QStringLiteral("Lay out demo data"), m_firstRun);
    demo->setObjectName(QStringLiteral("layOutDemo"));
    auto* updates = new QPushButton(QStringLiteral("Choose update files…"), m_firstRun);
    updates->setObjectName(QStringLiteral("chooseUpdateFiles"));
    auto* offerButtons = new QHBoxLayout;
    offerButtons->addWidget(demo);
    offerButtons->addWidget(updates);
    offerButtons->addStretch(1);
    auto* offerLayout = new QVBoxLayout(m_firstRun);
    offerLayout->addWidget(offer);
    offerLayout->addLayout(offerButtons);
    m_firstRun->setVisible(FirstRun::isNeeded(m_master.values().programFolder));

    auto* choice = new QHBoxLayout;
    choice->addLayout(fields, 1);
    choice->addSpacing(12);
    choice->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_firstRun);
    layout->addLayout(choice, 1);

    connect(m_ok, &QPushButton::clicked, this, &KRWSPACE::accept);
    connect(remove, &QPushButton::clicked, this, &KRWSPACE::deleteWorkspace);
    connect(help, &QPushButton::clicked, this, [this] {
        HelpWindow::showContents(this, QString::fromStdString(m_master.values().programFolder));
    });
    connect(exit, &QPushButton::clicked, this, [this] { m_master.SubExit(); });
    connect(demo, &QPushButton::clicked, this, &KRWSPACE::layOutDemo);
    connect(updates, &QPushButton::clicked, this, &KRWSPACE::chooseUpdateFiles);

    m_state->setCurrentIndex(m_state->findText(QStringLiteral("PA")));
    if (m_workspace->currentText().isEmpty())
        m_workspace->setEditText(QStringLiteral("INITIAL"));
    adjustSize();
    CENTERFORM(this);
}

QString KRWSPACE::workspace() const
{
    return m_workspace->currentText();
}

QString KRWSPACE::state() const
{
    return m_state->currentText();
}

QString KRWSPACE::workspaceFolder(const QString& name) const
{
    return QString::fromStdString(m_master.values().programFolder) + name;
}

bool KRWSPACE::isListed(const QString& name) const
{
    return m_workspace->findText(name, Qt::MatchExactly) >= 0;
}

void KRWSPACE::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    activate();
}

void KRWSPACE::activate()
{
    restoreNormalCursor();

    QDir program(QString::fromStdString(m_master.values().programFolder));
    program.mkdir(QStringLiteral("INITIAL"));
    m_master.tellOfNetworkFolderOnce(this);

    const QString typed = m_workspace->currentText();
    m_workspace->clear();
    m_workspace->addItems(
        program.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    m_workspace->setEditText(typed);

    if (const auto saved = Settings::read(Folders::temporaryFolder())) {
        const QString workspace = QString::fromStdString(saved->workspace);
        const QString state = QString::fromStdString(saved->state);
        if (isListed(workspace))
            m_workspace->setEditText(workspace);
        if (m_state->findText(state, Qt::MatchExactly) >= 0)
            m_state->setCurrentIndex(m_state->findText(state, Qt::MatchExactly));
    }
    m_ok->setFocus();
}

void KRWSPACE::accept()
{
    if (m_state->currentText().isEmpty())
        m_state->setCurrentIndex(m_state->findText(QStringLiteral("PA")));
    DialogPrompt prompt(this);
    StateAcceptance acceptance(m_master.values(), prompt, [](const std::function<void()>& work) {
        HourglassGuard hourglass;
        work();
    });
    if (!acceptance.acceptState(m_state->currentText().toStdString()))
        return;
    if (m_workspace->currentText().isEmpty())
        m_workspace->setEditText(QStringLiteral("INITIAL"));
    const QString name = m_workspace->currentText();
    if (acceptance.acceptWorkspace(name.toStdString(), isListed(name)))
        QDialog::accept();
}

void KRWSPACE::deleteWorkspace()
{
    const QString name = m_workspace->currentText();
    if (name.isEmpty()) {
        Dialogs::tell(this, Dialogs::defaultTitle(), kRemoveFailed, QMessageBox::NoIcon);
        return;
    }
    if (!isListed(name)) {
        Dialogs::tell(this, Dialogs::defaultTitle(),
                      QStringLiteral("Workspace") + name + QStringLiteral("does not exist!"),
                      QMessageBox::NoIcon);
        return;
    }
    QDir folder(workspaceFolder(name));
    QString question = QStringLiteral("Delete workspace ") + name + QLatin1Char('?');
    if (!folder.entryList({QStringLiteral("*.KRD")}, QDir::Files).isEmpty())
        question += QStringLiteral("\r\nThere are searches in this workspace!");
    if (Dialogs::ask(this, kTitle, question, QMessageBox::Yes | QMessageBox::No,
                     QMessageBox::Warning, QMessageBox::No) != QMessageBox::Yes)
        return;

    for (const QString& file : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        folder.remove(file);
    QDir program(QString::fromStdString(m_master.values().programFolder));
    if (!StateAcceptance::isFolderName(name.toStdString()) || !program.rmdir(name)) {
        Dialogs::tell(this, Dialogs::defaultTitle(), kRemoveFailed, QMessageBox::NoIcon);
        return;
    }
    m_workspace->removeItem(m_workspace->findText(name, Qt::MatchExactly));
}

void KRWSPACE::layOutDemo()
{
    WindowProgress progress(this, nullptr);
    try {
        HourglassGuard hourglass;
        DemoInstallation::create(m_master.values().programFolder,
                                 DemoInstallation::kDefaultCompanies, progress);
    } catch (const std::exception& failure) {
        Dialogs::tell(this, Dialogs::defaultTitle(),
                      QStringLiteral("The demo data could not be laid out: %1")
                          .arg(QString::fromStdString(failure.what())),
                      QMessageBox::Critical);
        return;
    }
    m_firstRun->hide();
    adjustSize();
    m_ok->setFocus();
}

void KRWSPACE::chooseUpdateFiles()
{
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Choose Update Files");
    request.directory = QDir::homePath();
    request.filters = {QStringLiteral("Update Files (*.DAT)"), QStringLiteral("All Files (*)")};
    request.multiSelect = true;
    const Dialogs::FileAnswer answer = Dialogs::chooseFile(this, request);
    if (!answer.accepted)
        return;
    std::vector<std::string> files;
    for (const QString& file : answer.files)
        files.push_back(file.toStdString());
    const std::string& folder = m_master.values().programFolder;
    try {
        const std::vector<std::string> refused = FirstRun::placeUpdateFiles(folder, files);
        if (!refused.empty()) {
            QStringList names;
            for (const std::string& name : refused)
                names << QString::fromStdString(name);
            Dialogs::tell(this, Dialogs::defaultTitle(),
                          QStringLiteral("These are no update files and were left alone:\r\n") +
                              names.join(QStringLiteral("\r\n")),
                          QMessageBox::Warning);
        }
    } catch (const std::exception& failure) {
        Dialogs::tell(this, Dialogs::defaultTitle(), QString::fromStdString(failure.what()),
                      QMessageBox::Critical);
    }
    if (FirstRun::isNeeded(folder))
        return;
    m_firstRun->hide();
    adjustSize();
    Dialogs::tell(this, Dialogs::defaultTitle(),
                  QStringLiteral("The update files are in the program folder. Choose their state "
                                 "and press OK to load them."),
                  QMessageBox::Information);
}

} // namespace kora
