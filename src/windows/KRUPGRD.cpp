#include "windows/KRUPGRD.h"

#include "upgrade/StateNotesBackup.h"
#include "widgets/CenterForm.h"
#include "widgets/DialogPrompt.h"
#include "widgets/Dialogs.h"
#include "widgets/HourglassGuard.h"

#include <QApplication>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

namespace kora {

KRUPGRD::KRUPGRD(QWidget* parent, std::string programFolder, std::function<void()> releaseDatabases)
    : QDialog(parent), m_programFolder(std::move(programFolder)),
      m_releaseDatabases(std::move(releaseDatabases)), m_folders(new QFileSystemModel(this)),
      m_Dir1(new QTreeView(this)), m_txtPath(new QLineEdit(this)),
      m_Label1(new QLabel(QString::fromLatin1(SelfUpgrade::kWorking), this)),
      m_status1(new QProgressBar(this)), m_status2(new QProgressBar(this))
{
    setObjectName(QStringLiteral("KRUPGRD"));
    setWindowTitle(QStringLiteral("Load Update"));

    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folders->setRootPath(QDir::rootPath());
    m_Dir1->setObjectName(QStringLiteral("Dir1"));
    m_Dir1->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        m_Dir1->hideColumn(column);
    m_Dir1->header()->hide();
    m_Dir1->setMinimumSize(360, 260);
    m_txtPath->setObjectName(QStringLiteral("txtPath"));
    m_txtPath->setReadOnly(true);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    // The window keeps its size while the label comes and goes.
    QSizePolicy keepPlace = m_Label1->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_Label1->setSizePolicy(keepPlace);
    m_Label1->hide();
    for (QProgressBar* bar : {m_status1, m_status2})
        bar->setRange(0, 100);
    m_status1->setObjectName(QStringLiteral("status1"));
    m_status2->setObjectName(QStringLiteral("status2"));
    auto* start = new QPushButton(QStringLiteral("Start"), this);
    start->setObjectName(QStringLiteral("Command1"));
    start->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("CANCEL"), this);
    cancel->setObjectName(QStringLiteral("Command2"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select SOURCE Directory"), this), 0, 0, 1, 2);
    layout->addWidget(m_Dir1, 1, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Current Path"), this), 2, 0, 1, 2);
    layout->addWidget(m_txtPath, 3, 0, 1, 2);
    layout->addWidget(m_Label1, 4, 0, 1, 2);
    layout->addWidget(m_status1, 5, 0, 1, 2);
    layout->addWidget(m_status2, 6, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(start);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 7, 0, 1, 2);

    connect(m_Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { setFolder(m_folders->filePath(current)); });
    // The folder list reads folders in the background: the chosen one is
    // shown once its parents are read.
    connect(m_folders, &QFileSystemModel::directoryLoaded, this, &KRUPGRD::revealFolder);
    connect(start, &QPushButton::clicked, this, &KRUPGRD::start);
    connect(cancel, &QPushButton::clicked, this, &KRUPGRD::reject);

    setFolder(QDir::homePath());
    adjustSize();
    CENTERFORM(this);
}

QString KRUPGRD::folder() const
{
    return m_txtPath->text();
}

void KRUPGRD::setFolder(const QString& folder)
{
    const QDir chosen(folder);
    if (!chosen.isReadable() || !chosen.exists()) {
        Dialogs::tell(this, Dialogs::defaultTitle(),
                      QStringLiteral("Error Reading Drive ") + folder, QMessageBox::NoIcon);
        const QSignalBlocker blocker(m_Dir1->selectionModel());
        m_Dir1->setCurrentIndex(m_folders->index(m_txtPath->text()));
        return;
    }
    m_txtPath->setText(QDir::toNativeSeparators(chosen.absolutePath()));
    revealFolder();
}

void KRUPGRD::revealFolder()
{
    const QModelIndex index = m_folders->index(QDir::fromNativeSeparators(m_txtPath->text()));
    if (m_Dir1->currentIndex() != index) {
        const QSignalBlocker blocker(m_Dir1->selectionModel());
        m_Dir1->setCurrentIndex(index);
    }
    m_Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void KRUPGRD::start()
{
    DialogPrompt prompt(this);
    SelfUpgrade upgrade(m_programFolder, prompt, *this, stateNotesBackup(m_programFolder));
    {
        HourglassGuard hourglass;
        m_ending = upgrade.run(folder().toStdString());
    }
    if (m_ending == SelfUpgrade::Ending::Restart || m_ending == SelfUpgrade::Ending::SelectState)
        accept();
    else
        bars(0, 0);
}

void KRUPGRD::startWork()
{
    m_workStarted = true;
    if (m_releaseDatabases)
        m_releaseDatabases();
    m_Label1->setText(QString::fromLatin1(SelfUpgrade::kWorking));
    m_Label1->show();
}

void KRUPGRD::status(const std::string& text)
{
    m_Label1->setText(QString::fromStdString(text));
    m_Label1->repaint();
    // Paint only: a click on OK or CANCEL must not start or stop anything
    // while the archives are being installed.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void KRUPGRD::hideStatus()
{
    m_Label1->clear();
    // The window keeps its size while the label comes and goes.
    QSizePolicy keepPlace = m_Label1->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_Label1->setSizePolicy(keepPlace);
    m_Label1->hide();
}

void KRUPGRD::bars(int member, int archive)
{
    m_status1->setValue(member);
    m_status2->setValue(archive);
}

} // namespace kora
