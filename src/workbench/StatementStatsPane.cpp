#include "workbench/StatementStatsPane.h"

#include "controls/FixedPitchFont.h"
#include "controls/TableReadsChart.h"
#include "ibdb/StatementProfile.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPlainTextEdit *planView(QWidget *parent, const QString &name)
{
    auto *view = new QPlainTextEdit(parent);
    view->setReadOnly(true);
    view->setFont(FixedPitchFont());
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setAccessibleName(name);
    return view;
}

QString planOrNone(const QString &plan, bool tooLong)
{
    if (tooLong)
        return plan + QStringLiteral("\n(The server's plan is longer than it hands out.)");
    return plan.isEmpty() ? QStringLiteral("No plan") : plan;
}

} // namespace

StatementStatsPane::StatementStatsPane(QWidget *parent)
    : QTabWidget(parent),
      Figures(new QLabel(this)),
      Tables(new QTableWidget(this)),
      Chart(new TableReadsChart(this)),
      PlanText(planView(this, QStringLiteral("Plan"))),
      DetailedPlanText(planView(this, QStringLiteral("Detailed plan"))),
      CopyBtn(new QPushButton(QStringLiteral("Copy &All"), this))
{
    setAccessibleName(QStringLiteral("Statement statistics"));
    addTab(buildFiguresTab(), QStringLiteral("Statistics"));
    addTab(PlanText, QStringLiteral("Plan"));
    addTab(DetailedPlanText, QStringLiteral("Detailed plan"));
    setCornerWidget(CopyBtn);
    CopyBtn->setToolTip(QStringLiteral("Copy plans and figures to the clipboard as text"));
    connect(CopyBtn, &QPushButton::clicked, this, &StatementStatsPane::copyAll);
}

QWidget *StatementStatsPane::buildFiguresTab()
{
    auto *tab = new QWidget(this);
    Figures->setAccessibleName(QStringLiteral("Figures"));
    Figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Figures->setContentsMargins(4, 2, 4, 2);
    Tables->setAccessibleName(QStringLiteral("Rows per table"));
    Tables->setColumnCount(TableCounts::KindCount + 1);
    QStringList headers{QStringLiteral("Table")};
    for (int kind = 0; kind < TableCounts::KindCount; ++kind)
        headers << StatementProfile::headerText(TableCounts::Kind(kind));
    Tables->setHorizontalHeaderLabels(headers);
    Tables->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tables->verticalHeader()->hide();
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(Figures);
    layout->addWidget(Tables, 1);
    layout->addWidget(Chart);
    return tab;
}

void StatementStatsPane::showProfile(const StatementProfile &profile)
{
    QStringList figures{profile.timesText(), profile.stateText()};
    if (!profile.pagesText().isEmpty())
        figures << profile.pagesText();
    const QString shown = figures.join(u'\n');
    if (Figures->text() != shown)
        Figures->setText(shown);
    showTables(profile);
    showPlan(PlanText, m_planShown, planOrNone(profile.plan().plan, profile.plan().tooLong));
    showPlan(DetailedPlanText, m_detailedPlanShown,
             planOrNone(profile.plan().detailed, profile.plan().tooLong));
    m_profile = profile;
}

void StatementStatsPane::showPlan(QPlainTextEdit *view, QString &shown, const QString &plan)
{
    if (plan == shown)
        return;
    shown = plan;
    view->setPlainText(plan);
}

void StatementStatsPane::setCell(int row, int column, const QString &text,
                                 Qt::Alignment alignment)
{
    QTableWidgetItem *item = Tables->item(row, column);
    if (!item) {
        item = new QTableWidgetItem(text);
        item->setTextAlignment(alignment);
        Tables->setItem(row, column, item);
    } else if (item->text() != text) {
        item->setText(text);
    }
}

void StatementStatsPane::showTables(const StatementProfile &profile)
{
    const QList<StatementProfile::Table> tables = profile.tables();
    Tables->setRowCount(int(tables.size()));
    QList<TableReadsChart::Bar> bars;
    for (int row = 0; row < tables.size(); ++row) {
        const StatementProfile::Table &table = tables.at(row);
        setCell(row, 0, table.name, Qt::AlignLeft | Qt::AlignVCenter);
        for (int kind = 0; kind < TableCounts::KindCount; ++kind)
            setCell(row, kind + 1, QString::number(table.counts.values[kind]),
                    Qt::AlignRight | Qt::AlignVCenter);
        bars.append({table.name, table.counts[TableCounts::NonIndexedReads],
                     table.counts[TableCounts::IndexedReads]});
    }
    Chart->setBars(bars);
}

void StatementStatsPane::copyAll() const
{
    QGuiApplication::clipboard()->setText(text());
}
