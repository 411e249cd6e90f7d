#include "catalog/TRelSelectionView.h"

#include "core/AppError.h"
#include "uikit/CatalogQuery.h"
#include "uikit/GridColumns.h"
#include "uikit/ModalForms.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kRelationField = QStringLiteral("RDB$RELATION_NAME");

} // namespace

TRelSelectionView::TRelSelectionView(QWidget *parent)
    : QDialog(parent), SelQuery(new CatalogQuery(this))
{
    setWindowTitle(QStringLiteral("Select relation"));
    SelQuery->setLines({
        QStringLiteral("SELECT RV.RDB$RELATION_NAME"),
        QStringLiteral("FROM RDB$VIEW_RELATIONS RV"),
        QStringLiteral("WHERE ( RV.RDB$VIEW_NAME =:VIEW_NAME )"),
    });
    DBGrid1 = new QTableView(this);
    DBGrid1->setAccessibleName(QStringLiteral("Base relations"));
    GridColumns::setupReadOnly(DBGrid1);
    DBGrid1->setModel(SelQuery);
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    OkBtn = new QPushButton(QStringLiteral("Ok"), this);
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1);
    layout->addLayout(buttons);
    setFixedSize(320, 280);
}

void TRelSelectionView::open(const QString &viewName)
{
    SelQuery->setParam(QStringLiteral("VIEW_NAME"), viewName);
    SelQuery->open();
    GridColumns::apply(DBGrid1, SelQuery, {{kRelationField, QStringLiteral("Relation name"), -1}});
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    if (SelQuery->rowCount() > 0)
        DBGrid1->setCurrentIndex(SelQuery->index(0, SelQuery->fieldIndex(kRelationField)));
}

QString TRelSelectionView::selectedRelation() const
{
    const QModelIndex current = DBGrid1->currentIndex();
    return SelQuery->value(current.isValid() ? current.row() : 0, kRelationField).toString();
}

void TRelSelectionView::DBGrid1DblClick()
{
    accept();
}

QString SelectBaseRelation(const QString &viewName)
{
    TRelSelectionView picker;
    const auto closeQuery = qScopeGuard([&picker] { picker.SelQuery->close(); });
    picker.open(viewName);
    if (ModalForms::exec(&picker) != QDialog::Accepted)
        throw SilentAbort();
    return picker.selectedRelation();
}
