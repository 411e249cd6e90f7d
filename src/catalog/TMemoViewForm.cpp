#include "catalog/TMemoViewForm.h"

#include "uikit/CatalogQuery.h"

#include <QFontDatabase>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QVBoxLayout>

TMemoViewForm::TMemoViewForm(QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint), MemoCtrl(new QPlainTextEdit(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Memo View"));
    resize(400, 250);
    MemoCtrl->setObjectName(QStringLiteral("MemoCtrl"));
    MemoCtrl->setReadOnly(true);
    MemoCtrl->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MemoCtrl);
}

void TMemoViewForm::bind(CatalogQuery *query, QTableView *view, const QString &field)
{
    m_query = query;
    m_view = view;
    m_field = field;
    // The selection model outlives model resets, so a re-read list is
    // followed as well as a move to another row.
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TMemoViewForm::showCurrent);
    connect(query, &QAbstractItemModel::modelReset, this, &TMemoViewForm::showCurrent);
    showCurrent();
}

void TMemoViewForm::showCurrent()
{
    if (!m_query || !m_view) {
        MemoCtrl->clear();
        return;
    }
    const int row = m_view->currentIndex().row();
    MemoCtrl->setPlainText(m_query->value(row, m_field).toString());
}

void ShowMemoField(const QString &field, CatalogQuery *query, QTableView *view, QWidget *owner)
{
    if (field.isEmpty() || !query->isMemoField(field))
        return;
    auto *viewer = new TMemoViewForm(owner);
    viewer->bind(query, view, field);
    const QString label =
        query->headerData(query->fieldIndex(field), Qt::Horizontal).toString();
    viewer->setWindowTitle(
        QStringLiteral("Data '%1' '%2'").arg(owner->windowTitle(), label));
    viewer->show();
}
