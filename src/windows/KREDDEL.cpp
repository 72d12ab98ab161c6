#include "windows/KREDDEL.h"

#include "lookup/LookupTabs.h"
#include "widgets/CenterForm.h"
#include "widgets/Dialogs.h"
#include "windows/KRLOOKUP.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <utility>

namespace kora {

namespace {

// Each entry keeps the tab it stands for, so that an entry whose title is
// blanks still leads to its own lookup.
constexpr int kTabRole = Qt::UserRole;

} // namespace

KREDDEL::KREDDEL(LookupTabs& tabs, Database& db, std::string state, QWidget* parent)
    : QDialog(parent), m_tabs(tabs), m_db(db), m_state(std::move(state)),
      m_lookups(new QListWidget(this))
{
    setObjectName(QStringLiteral("KREDDEL"));
    setWindowTitle(QStringLiteral("Edit/Delete Lookup"));
    m_lookups->setObjectName(QStringLiteral("List1"));
    m_lookups->setMinimumWidth(280);
    auto* label = new QLabel(QStringLiteral("&Lookups of this workspace:"), this);
    label->setBuddy(m_lookups);

    auto* edit = new QPushButton(QStringLiteral("&Edit"), this);
    edit->setObjectName(QStringLiteral("Command1"));
    edit->setDefault(true);
    auto* remove = new QPushButton(QStringLiteral("&Delete"), this);
    remove->setObjectName(QStringLiteral("Command2"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command3"));

    auto* left = new QVBoxLayout;
    left->addWidget(label);
    left->addWidget(m_lookups, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(label->sizeHint().height());
    for (QPushButton* button : {edit, remove, cancel})
        buttons->addWidget(button);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(edit, &QPushButton::clicked, this, &KREDDEL::edit);
    connect(remove, &QPushButton::clicked, this, &KREDDEL::remove);
    connect(cancel, &QPushButton::clicked, this, &KREDDEL::reject);
    connect(m_lookups, &QListWidget::itemDoubleClicked, this, &KREDDEL::edit);
    resize(420, 300);
    CENTERFORM(this);
}

void KREDDEL::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        fillList();
}

void KREDDEL::fillList()
{
    m_lookups->clear();
    const LookupTabs& tabs = m_tabs;
    for (int tab = 1; tab <= LookupTabs::kLookupTabs; ++tab) {
        if (tabs.fileOfTab(tab).empty())
            continue;
        auto* item = new QListWidgetItem(QString::fromStdString(tabs.caption(tab)), m_lookups);
        item->setData(kTabRole, tab);
        item->setToolTip(QString::fromStdString(tabs.fileOfTab(tab)));
    }
    // Nothing is chosen yet, so that the first arrow key chooses the first lookup.
    m_lookups->setCurrentIndex(QModelIndex());
    m_lookups->setFocus();
}

int KREDDEL::chosenTab()
{
    const QListWidgetItem* item = m_lookups->currentItem();
    if (!item || !item->isSelected()) {
        Dialogs::tell(this, Dialogs::defaultTitle(), QStringLiteral("No lookup selected!"),
                      QMessageBox::NoIcon);
        return 0;
    }
    return item->data(kTabRole).toInt();
}

void KREDDEL::edit()
{
    const int tab = chosenTab();
    if (tab == 0)
        return;
    m_tabs.setCurrentFile(m_tabs.fileOfTab(tab));
    QDialog::accept();
    KRLOOKUP editor(m_tabs, m_db, m_state, parentWidget());
    connect(&editor, &KRLOOKUP::saved, this, &KREDDEL::lookupSaved);
    connect(&editor, &KRLOOKUP::cancelled, this, &KREDDEL::cancelled);
    editor.exec();
}

void KREDDEL::remove()
{
    const int tab = chosenTab();
    if (tab == 0)
        return;
    if (Dialogs::ask(this, QStringLiteral("Edit/Delete Lookup"),
                     QStringLiteral("Delete this lookup?"), QMessageBox::Yes | QMessageBox::No,
                     QMessageBox::Warning, QMessageBox::No) == QMessageBox::Yes) {
        m_tabs.folder().remove(m_tabs.fileOfTab(tab));
        emit lookupRemoved();
    }
    QDialog::accept();
}

void KREDDEL::reject()
{
    QDialog::reject();
    emit cancelled();
}

} // namespace kora
