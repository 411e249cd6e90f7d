#pragma once

#include <QTabWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class StatementProfile;
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
    QString text() const { return m_text; }
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

    QString m_text;
};
