#pragma once

#include "ibdb/StatementProfile.h"

#include <QTabWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class TableReadsChart;

// What the last statement of a window cost: its figures with the rows per
// table as a table and as bars, its plan and its detailed plan, each on a
// tab. "Copy All" puts the whole of it on the clipboard as text.
class StatementStatsPane : public QTabWidget
{
    Q_OBJECT

public:
    explicit StatementStatsPane(QWidget *parent = nullptr);

    // Shows the profile's figures as they stand; called again as they grow.
    void showProfile(const StatementProfile &profile);
    // Everything the pane shows, as the clipboard gets it.
    QString text() const { return m_profile.text(); }
    void copyAll() const;

    QLabel *Figures;
    QTableWidget *Tables;
    TableReadsChart *Chart;
    QPlainTextEdit *PlanText;
    QPlainTextEdit *DetailedPlanText;
    QPushButton *CopyBtn;

private:
    QWidget *buildFiguresTab();
    void showTables(const StatementProfile &profile);
    void setCell(int row, int column, const QString &text, Qt::Alignment alignment);
    static void showPlan(QPlainTextEdit *view, QString &shown, const QString &plan);

    // A script or a fetch shows figure after figure: the text is made only
    // when asked for, and a plan laid out again only when it changed.
    StatementProfile m_profile;
    QString m_planShown;
    QString m_detailedPlanShown;
};
