#include "support/TestWidgets.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>

namespace TestWidgets {

QAction *menuItem(const QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QStringList columnShown(const QAbstractItemModel *model, int column)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QStringList rowsShown(const QTableView *grid, const QString &separator)
{
    QList<int> columns;
    const QHeaderView *header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        if (!header->isSectionHidden(header->logicalIndex(visual)))
            columns << header->logicalIndex(visual);
    }
    QStringList rows;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        QStringList cells;
        for (int column : columns)
            cells << grid->model()->index(row, column).data().toString();
        rows << cells.join(separator);
    }
    return rows;
}

QString cellShown(const QTableView *grid, const QModelIndex &index)
{
    auto *delegate = qobject_cast<QStyledItemDelegate *>(grid->itemDelegateForIndex(index));
    const QVariant value = index.data();
    return value.isNull() || !delegate ? QString() : delegate->displayText(value, QLocale());
}

void visitCell(QTableView *grid, const QModelIndex &index, const std::optional<QString> &typed,
               const QModelIndex &leaveTo)
{
    grid->setCurrentIndex(index);
    grid->edit(index);
    QWidget *editor = grid->indexWidget(index);
    if (!editor)
        QFAIL("the cell opened no editor");
    if (typed) {
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setText(*typed);
        else if (auto *box = qobject_cast<QComboBox *>(editor))
            box->setCurrentIndex(box->findText(*typed));
    }
    QTest::keyClick(editor, Qt::Key_Return);
    const QRect other = grid->visualRect(leaveTo);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, other.center());
}

} // namespace TestWidgets
