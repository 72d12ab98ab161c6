#include "windows/BreakdownWindow.h"

#include "database/DbError.h"
#include "widgets/CenterForm.h"
#include "widgets/Dialogs.h"
#include "widgets/HourglassGuard.h"
#include "widgets/RowGrid.h"
#include "windows/ChartPalette.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QClipboard>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace kora {

namespace {

const Breakdown::By kGroupingOrder[BreakdownWindow::kGroupings] = {
    Breakdown::By::County, Breakdown::By::SicGroup, Breakdown::By::ModBand,
    Breakdown::By::ExpirationMonth};

const char* const kGroupingCaptions[BreakdownWindow::kGroupings] = {"County", "SIC Group",
                                                                    "Mod Band", "Expiration Month"};

int indexOf(Breakdown::By by)
{
    for (int i = 0; i < BreakdownWindow::kGroupings; ++i)
        if (kGroupingOrder[i] == by)
            return i;
    return 0;
}

// The widest a bar's caption may be; a longer label ends in an ellipsis
// (the table beside the chart holds it whole).
constexpr int kCaptionWidth = 200;

// A bar's caption: the key and its label, or the key alone.
QString caption(const Breakdown::Group& group, const QFontMetrics& metrics)
{
    const QString key = QString::fromStdString(group.key.empty() ? "(none)" : group.key);
    return group.label.empty() ? key
                               : metrics.elidedText(key + QStringLiteral("  ") +
                                                        QString::fromStdString(group.label),
                                                    Qt::ElideRight, kCaptionWidth);
}

} // namespace

BreakdownWindow::BreakdownWindow(Database& db, LookupStatement lookup, const QString& title,
                                 QWidget* parent)
    : QDialog(parent), m_db(db), m_lookup(std::move(lookup)), m_tabs(new QTabWidget(this)),
      m_omitted(new QLabel(this))
{
    setObjectName(QStringLiteral("BreakdownWindow"));
    setWindowTitle(QStringLiteral("Breakdown - ") + title);
    m_lookup.orderBy.clear();
    for (int i = 0; i < kGroupings; ++i)
        m_tabs->addTab(buildPage(m_pages[static_cast<size_t>(i)]),
                       QString::fromLatin1(kGroupingCaptions[i]));
    m_omitted->setObjectName(QStringLiteral("lblOmitted"));

    auto* copy = new QPushButton(QStringLiteral("Copy Table"), this);
    copy->setObjectName(QStringLiteral("COPY"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CLOSE"));
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_omitted, 1);
    buttons->addWidget(copy);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    connect(m_tabs, &QTabWidget::currentChanged, this, &BreakdownWindow::countShown);
    connect(copy, &QPushButton::clicked, this, &BreakdownWindow::copyTable);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    resize(960, 600);
    CENTERFORM(this);
    countShown();
}

QWidget* BreakdownWindow::buildPage(Page& page)
{
    page.model = new QStandardItemModel(0, 3, this);
    page.model->setHorizontalHeaderLabels(
        {QStringLiteral("Key"), QStringLiteral("Group"), QStringLiteral("Companies")});
    page.widget = new QSplitter(Qt::Horizontal);
    page.grid = makeRowGrid("grdBreakdown", page.model, page.widget);
    page.grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    page.grid->setSortingEnabled(true);
    page.grid->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    page.chart = new QChartView;
    page.chart->setRenderHint(QPainter::Antialiasing);
    auto* scroll = new QScrollArea(page.widget);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page.chart);
    static_cast<QSplitter*>(page.widget)->addWidget(page.grid);
    static_cast<QSplitter*>(page.widget)->addWidget(scroll);
    static_cast<QSplitter*>(page.widget)->setSizes({360, 600});
    return page.widget;
}

void BreakdownWindow::showGrouping(Breakdown::By by)
{
    m_tabs->setCurrentIndex(indexOf(by));
}

Breakdown::By BreakdownWindow::shownGrouping() const
{
    return kGroupingOrder[m_tabs->currentIndex()];
}

const QStandardItemModel* BreakdownWindow::table(Breakdown::By by) const
{
    const Page& page = m_pages[static_cast<size_t>(indexOf(by))];
    return page.counts ? page.model : nullptr;
}

const QBarSet* BreakdownWindow::bars(Breakdown::By by) const
{
    return m_pages[static_cast<size_t>(indexOf(by))].bars;
}

void BreakdownWindow::countShown()
{
    Page& page = m_pages[static_cast<size_t>(m_tabs->currentIndex())];
    if (!page.counts) {
        try {
            const HourglassGuard hourglass;
            fill(page, Breakdown::count(m_db, m_lookup, shownGrouping()));
        } catch (const DbError& error) {
            Dialogs::tell(this, windowTitle(),
                          QStringLiteral("The companies could not be counted: ") +
                              QString::fromUtf8(error.what()),
                          QMessageBox::Warning);
            return;
        }
    }
    m_omitted->setText(omittedText());
}

void BreakdownWindow::fill(Page& page, const Breakdown::Counts& counts)
{
    page.grid->setSortingEnabled(false);
    page.model->setRowCount(0);
    auto* bars = new QBarSet(QStringLiteral("Companies"));
    auto* groups = new QBarCategoryAxis;
    const QFontMetrics metrics(groups->labelsFont());
    QStringList captions;
    int widestCaption = 0;
    for (const Breakdown::Group& group : counts.groups) {
        auto* companies = new QStandardItem;
        companies->setData(static_cast<qlonglong>(group.count), Qt::DisplayRole);
        companies->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        page.model->appendRow({new QStandardItem(QString::fromStdString(group.key)),
                               new QStandardItem(QString::fromStdString(group.label)), companies});
        // A horizontal chart draws its first bar at the foot: the bars are
        // added last group first so that they read top down like the table.
        bars->insert(0, static_cast<qreal>(group.count));
        captions.prepend(caption(group, metrics));
        widestCaption = std::max(widestCaption, metrics.horizontalAdvance(captions.front()));
    }
    page.grid->setSortingEnabled(true);
    page.grid->resizeColumnToContents(0);

    auto* series = new QHorizontalBarSeries;
    series->append(bars);
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->legend()->hide();
    groups->append(captions);
    groups->setTruncateLabels(false);
    auto* companies = new QValueAxis;
    companies->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(groups, Qt::AlignLeft);
    chart->addAxis(companies, Qt::AlignBottom);
    series->attachAxis(groups);
    series->attachAxis(companies);
    companies->applyNiceNumbers();
    followPalette(chart, page.chart->palette());
    QChart* old = page.chart->chart();
    page.chart->setChart(chart);
    delete old;
    // Room for every bar; the page scrolls when there are many.
    page.chart->setMinimumHeight(std::max(240, 20 * static_cast<int>(counts.groups.size()) + 80));
    // The chart gives its captions at most two fifths of its width and cuts
    // them beyond: it is wide enough for the widest.
    page.chart->setMinimumWidth(widestCaption * 5 / 2 + 60);
    page.bars = bars;
    page.counts = counts;
}

QString BreakdownWindow::tableText() const
{
    const Page& page = m_pages[static_cast<size_t>(m_tabs->currentIndex())];
    return page.counts ? QString::fromStdString(Breakdown::text(page.counts->groups)) : QString();
}

QString BreakdownWindow::omittedText() const
{
    const Page& page = m_pages[static_cast<size_t>(m_tabs->currentIndex())];
    if (!page.counts)
        return {};
    const long long omitted = page.counts->omitted;
    return omitted == 1 ? QStringLiteral("1 company marked to leave out is not counted.")
                        : QString::number(omitted) +
                              QStringLiteral(" companies marked to leave out are not counted.");
}

void BreakdownWindow::copyTable()
{
    QApplication::clipboard()->setText(tableText());
}

} // namespace kora
