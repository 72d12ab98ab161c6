// Times the result list on an installation's state database: opening it on all
// companies (its first rows, then all of them counted), repositioning at each
// keystroke in the search box, scrolling from top to bottom, and showing a
// lookup tab; each opening beside its floor, the bare statements the list runs;
// reports the peak memory.
//
//   kora_result_list_bench --folder DIR --state ST [--zip-from 15000 --zip-thru 15999]
//                          [--lookup FILE.KRD]   (a lookup file to show instead of the zip range)

#include "database/Installation.h"
#include "loading/UpdateRun.h"
#include "lookup/LookupFile.h"
#include "lookup/LookupSearch.h"
#include "results/ResultListData.h"
#include "results/RowReader.h"
#include "shell/MASTER.h"
#include "windows/KRLIST.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

double milliseconds(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// The rows the list reads before it shows a grid.
constexpr size_t kFirstRows = 200;

// Lets the list take the rest of its rows, as the event loop does between the agent's keys.
void waitForCount(const kora::KRLIST* list)
{
    const auto* count = list->findChild<QLineEdit*>("VIEWCOUNT");
    while (count->text().startsWith(QStringLiteral("Counting")))
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    std::string state = "PA";
    std::string zipFrom = "15000";
    std::string zipThru = "15999";
    std::string lookup;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--folder"))
            folder = argv[i + 1];
        else if (!std::strcmp(argv[i], "--state"))
            state = argv[i + 1];
        else if (!std::strcmp(argv[i], "--zip-from"))
            zipFrom = argv[i + 1];
        else if (!std::strcmp(argv[i], "--zip-thru"))
            zipThru = argv[i + 1];
        else if (!std::strcmp(argv[i], "--lookup"))
            lookup = argv[i + 1];
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: kora_result_list_bench --folder DIR --state ST\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QDir::setCurrent(QString::fromStdString(folder));
    kora::MASTER master;
    master.fixProgramValues();
    master.values().state = state;
    master.values().stateConnect = kora::Installation(folder).stateConnect(state);
    master.resize(1280, 900);
    master.show();
    const QString workspace = QString::fromStdString(master.values().programFolder) + "BENCH/";
    QDir().mkpath(workspace);
    QDir(workspace).removeRecursively();
    QDir().mkpath(workspace);

    {
        // The workspace window's acceptance opens the state before the list,
        // and adds the tables a state of an older program lacks.
        kora::Database accepted(master.values().stateDatabasePath(), master.values().stateConnect);
        kora::UpdateRun::addMissingTables(accepted);
    }
    // The floors: the bare statements the list runs, on a connection of their
    // own, opened once the list's opening is timed.
    std::optional<kora::Database> bare;
    const auto floor = [&bare, &master](const kora::RowQuery& query, size_t rows) {
        if (!bare)
            bare.emplace(master.values().stateDatabasePath(), master.values().stateConnect);
        QElapsedTimer timer;
        timer.start();
        kora::RowReader::Rows read;
        kora::RowReader::readInto(*bare, query, read, rows);
        return milliseconds(timer);
    };
    const kora::RowQuery byName =
        kora::ResultListData::allCompaniesQuery(kora::ResultListData::Order::Name);

    QElapsedTimer timer;
    timer.start();
    auto* list = new kora::KRLIST(master, "BENCH", QString::fromStdString(state), workspace);
    list->showMaximized();
    // As the workspace window opens it.
    list->SETTABS();
    list->SORT_SELECT(2);
    QApplication::processEvents();
    auto* grid = list->findChild<QTableView*>("TDBGrid1");
    grid->viewport()->repaint();
    const double firstRows = milliseconds(timer);
    const int shownRows = grid->model()->rowCount();
    waitForCount(list);
    const double counted = milliseconds(timer);
    std::printf("open on all companies: first %d rows %.1f ms (floor %.1f ms), all %d counted "
                "%.1f ms (floor %.1f ms)\n",
                shownRows, firstRows, floor(byName, kFirstRows), grid->model()->rowCount(), counted,
                floor(byName, 0));

    auto* search = list->findChild<QLineEdit*>("SFOR");
    double worstKey = 0;
    for (const char* word : {"SMITH", "MILLER", "ZEPHYR", "ACME"}) {
        search->clear();
        for (const char* c = word; *c; ++c) {
            timer.restart();
            QTest::keyClick(search, *c);
            grid->viewport()->repaint();
            worstKey = std::max(worstKey, milliseconds(timer));
        }
    }
    std::printf("search box, slowest keystroke: %.1f ms\n", worstKey);

    QScrollBar* bar = grid->verticalScrollBar();
    double worstStep = 0;
    timer.restart();
    QElapsedTimer step;
    for (int value = 0; value <= bar->maximum(); value += std::max(1, bar->maximum() / 400)) {
        step.start();
        bar->setValue(value);
        grid->viewport()->repaint();
        worstStep = std::max(worstStep, milliseconds(step));
    }
    std::printf("scrolling top to bottom in 400 steps: %.1f ms, slowest step %.1f ms\n",
                milliseconds(timer), worstStep);

    if (lookup.empty())
        kora::LookupFile::write(workspace.toStdString() + "SEARCH1.KRD", "Bench zips",
                                {{"Bench zips", "Zip Code", zipFrom, zipThru, "ZIP", false}});
    else
        QFile::copy(QString::fromStdString(lookup), workspace + "SEARCH1.KRD");
    list->SETTABS();
    timer.restart();
    list->findChild<QTabBar*>("SSTab1")->setCurrentIndex(1);
    auto* lookupGrid = list->findChild<QTableView*>("TDBGrid4");
    lookupGrid->viewport()->repaint();
    const double lookupFirst = milliseconds(timer);
    const int lookupShown = lookupGrid->model()->rowCount();
    waitForCount(list);
    const double lookupCounted = milliseconds(timer);
    const std::string shown = lookup.empty() ? "zip " + zipFrom + "-" + zipThru : lookup;
    kora::LookupSearch lookupSearch(state);
    lookupSearch.SetUpSQL(workspace.toStdString() + "SEARCH1.KRD", false);
    lookupSearch.sortBy(kora::GridColumn::Name);
    const auto lookupRows = kora::ResultListData::lookupGridRows(lookupSearch.source(), "NAME1");
    std::printf("lookup tab (%s): first %d rows %.1f ms (floor %.1f ms), all %d counted %.1f ms "
                "(floor %.1f ms)\n",
                shown.c_str(), lookupShown, lookupFirst,
                floor(lookupRows.first.empty() ? lookupRows.all : kora::RowQuery{lookupRows.first},
                      kFirstRows),
                lookupGrid->model()->rowCount(), lookupCounted, floor(lookupRows.all, 0));
    std::printf("peak memory: %ld MB\n", peakMegabytes());
    QDir(workspace).removeRecursively();
    return 0;
}
