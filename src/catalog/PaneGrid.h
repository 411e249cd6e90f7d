#pragma once

#include <QStringList>
#include <QWidget>

class QTableView;

// A tab's read-only grid of text rows, made when the tab is first shown or
// the grid is first asked for: a table view with its model costs more to set
// up than a pane's few rows, and most panes of a window are never looked at.
// Rows given before then are kept for it.
class PaneGrid : public QWidget
{
    Q_OBJECT

public:
    PaneGrid(const QStringList &titles, const QString &name, QWidget *parent = nullptr);

    QTableView *grid();
    void setRows(const QList<QStringList> &rows);

signals:
    void activated(const QModelIndex &index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fill();

    QStringList m_titles;
    QList<QStringList> m_rows;
    QTableView *m_grid = nullptr;
};
