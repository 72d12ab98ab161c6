#pragma once

#include "upgrade/SelfUpgrade.h"
#include "upgrade/UpgradeProgress.h"

#include <QDialog>

#include <functional>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTreeView;

namespace kora {

// The upgrade window "Load Update": the user points it at the folder of a
// delivery (KORA*.ZIP archives) and Start installs it into the program folder.
class KRUPGRD : public QDialog, private UpgradeProgress
{
    Q_OBJECT

public:
    // releaseDatabases runs once before the first archive is read, so that
    // no window keeps a state database open while it is replaced.
    KRUPGRD(QWidget* parent, std::string programFolder, std::function<void()> releaseDatabases);

    // The folder shown in txtPath, which Start reads the archives from.
    QString folder() const;
    // Points the folder list at a folder; an unreadable one is refused with
    // "Error Reading Drive " and the list stays where it was.
    void setFolder(const QString& folder);
    // Start (Command1).
    void start();
    // How the last Start ended; NoArchive when it was never pressed.
    SelfUpgrade::Ending ending() const { return m_ending; }
    // True once Start reached the archives (the databases were released).
    bool workStarted() const { return m_workStarted; }

private:
    // Selects the folder of txtPath in the folder list and scrolls to it.
    void revealFolder();
    void startWork() override;
    void status(const std::string& text) override;
    void hideStatus() override;
    void bars(int member, int archive) override;

    std::string m_programFolder;
    std::function<void()> m_releaseDatabases;
    QFileSystemModel* m_folders;
    QTreeView* m_Dir1;
    QLineEdit* m_txtPath;
    QLabel* m_Label1;
    QProgressBar* m_status1;
    QProgressBar* m_status2;
    SelfUpgrade::Ending m_ending = SelfUpgrade::Ending::NoArchive;
    bool m_workStarted = false;
};

} // namespace kora
