#include "catalog/TPackagesForm.h"

#include "controls/FixedPitchFont.h"
#include "controls/SqlEditorKit.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "ibdb/StatementLines.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "schema/RoutineDdl.h"
#include "schema/SchemaReader.h"
#include "uikit/Command.h"
#include "uikit/ConnectedDialect.h"
#include "uikit/GridColumns.h"
#include "uikit/Prompts.h"
#include "workbench/TSQLExprForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

TPackagesForm *TPackagesForm::open()
{
    return openInFrame<TPackagesForm>(&TPackagesForm::PackagesRefresh);
}

TPackagesForm::TPackagesForm(QWidget *parent)
    : TChildForm(parent), m_packages(new QStandardItemModel(0, 1, this))
{
    setWindowTitle(QStringLiteral("Packages"));
    m_packages->setHorizontalHeaderLabels({QStringLiteral("Package name")});
    createToolPanel();
    PackagesGrid = new QTableView(this);
    GridColumns::setupReadOnly(PackagesGrid);
    PackagesGrid->setModel(m_packages);
    PackagesGrid->setAccessibleName(QStringLiteral("Packages"));
    PackagesGrid->horizontalHeader()->setStretchLastSection(true);
    PackagesGrid->setFixedWidth(273);
    SourceTabs = new QTabWidget(this);
    SourceTabs->setAccessibleName(QStringLiteral("Package source"));
    HeaderMemo = createSourceMemo(QStringLiteral("Package header"));
    BodyMemo = createSourceMemo(QStringLiteral("Package body"));
    SourceTabs->addTab(HeaderMemo, QStringLiteral("&Header"));
    SourceTabs->addTab(BodyMemo, QStringLiteral("&Body"));
    createMenu();

    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(PackagesGrid);
    body->addWidget(SourceTabs, 1);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(CommandPanel);
    layout->addLayout(body, 1);
    resize(700, 480);

    connect(PackagesGrid, &QTableView::doubleClicked, this, Command::guard([this] { DDLBtnClick(); }));
    connect(PackagesGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { Command::run([this] { followCurrentPackage(); }); });
}

void TPackagesForm::createToolPanel()
{
    CommandPanel = new TToolPanel(this);
    CommandPanel->setFixedHeight(32);
    DDLBtn = CommandPanel->addButton(QStringLiteral("show_ddl"),
                                     QStringLiteral("Edit package DDL statements"));
    BtnDropPackage = CommandPanel->addButton(QStringLiteral("delete"),
                                             QStringLiteral("Delete selected package"));
    RefreshBtn = CommandPanel->addButton(QStringLiteral("refresh"),
                                         QStringLiteral("Refresh table contents"));
    CommandPanel->addStretch();
    onClick(DDLBtn, [this] { DDLBtnClick(); });
    onClick(BtnDropPackage, [this] { BtnDropPackageClick(); });
    onClick(RefreshBtn, [this] { PackagesRefresh(); });
}

QPlainTextEdit *TPackagesForm::createSourceMemo(const QString &name)
{
    auto *memo = new QPlainTextEdit(this);
    memo->setReadOnly(true);
    memo->setAccessibleName(name);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setFont(FixedPitchFont());
    SqlEditorKit::attach(memo, ConnectedDialect::doubleQuotes());
    return memo;
}

void TPackagesForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("Pac&kages"));
    menu->menuAction()->setStatusTip(QStringLiteral("Packages list for editing packages"));
    Command::addAction(
        menu, QStringLiteral("&Edit "), QStringLiteral("Edit package DDL statements"),
        [this] { DDLBtnClick(); }, QKeySequence(Qt::CTRL | Qt::Key_E));
    Command::addAction(
        menu, QStringLiteral("&Delete"), QStringLiteral("Delete selected package"),
        [this] { BtnDropPackageClick(); }, QKeySequence(Qt::CTRL | Qt::Key_D));
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh table contents"),
        [this] { PackagesRefresh(); }, QKeySequence(Qt::Key_F5));
}

void TPackagesForm::PackagesRefresh()
{
    // A list that fails to read must not leave the old package's source.
    m_list.clear();
    m_packages->removeRows(0, m_packages->rowCount());
    followCurrentPackage();
    m_list = SchemaReader(DMSys->IBDataBase->connection()).readRoutines().packages;
    for (const SchemaPackage &package : m_list)
        m_packages->appendRow(new QStandardItem(package.name));
    if (!m_list.isEmpty())
        PackagesGrid->setCurrentIndex(m_packages->index(0, 0));
}

bool TPackagesForm::selectPackage(const QString &name)
{
    const QList<QStandardItem *> found = m_packages->findItems(name);
    if (!found.isEmpty())
        PackagesGrid->setCurrentIndex(found.first()->index());
    return !found.isEmpty();
}

const SchemaPackage *TPackagesForm::current() const
{
    const int row = PackagesGrid->currentIndex().row();
    return row >= 0 && row < m_list.size() ? &m_list.at(row) : nullptr;
}

QString TPackagesForm::currentName() const
{
    const SchemaPackage *package = current();
    return package ? package->name : QString();
}

void TPackagesForm::followCurrentPackage()
{
    const SchemaPackage *package = current();
    const auto shown = [](const QString &source) {
        return StatementLines::split(source).join(QLatin1Char('\n'));
    };
    HeaderMemo->setPlainText(package ? shown(package->headerSource) : QString());
    BodyMemo->setPlainText(package ? shown(package->bodySource) : QString());
}

// The DDL window runs one statement: the body goes into a window of its own,
// and the header's, which must run first, is the one on top.
void TPackagesForm::DDLBtnClick()
{
    const SchemaPackage *package = current();
    if (!package)
        return;
    const int dialect = DMSys->IBDataBase->statementDialect();
    const SchemaPackage shown = *package;
    if (!shown.bodySource.isEmpty())
        OpenInDDLWindow(StatementLines::join(RoutineDdl::packageLines(
            QStringLiteral("RECREATE PACKAGE BODY"), shown.name, shown.bodySource, dialect)));
    OpenInDDLWindow(StatementLines::join(RoutineDdl::packageLines(
        QStringLiteral("RECREATE PACKAGE"), shown.name, shown.headerSource, dialect)));
}

void TPackagesForm::BtnDropPackageClick()
{
    const SchemaPackage *package = current();
    if (!package)
        return;
    const QString name = package->name;
    const QString question = QStringLiteral("Proceed to delete package %1 from database?");
    if (Prompts::instance().confirm(question.arg(name), Prompts::Buttons::OkCancel)
        != Prompts::Answer::Ok)
        return;
    // The body goes with its header.
    DMSys->execute(QStringLiteral("DROP PACKAGE %1").arg(DMSys->IBDataBase->sqlName(name)));
    PackagesRefresh();
}
