#include "catalog/TPackagesForm.h"

#include "ibdb/StatementLines.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "schema/RoutineDdl.h"
#include "schema/SchemaReader.h"
#include "workbench/TSQLExprForm.h"

#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

const TObjectListForm::Kind kPackages{
    QStringLiteral("Packages"),
    QStringLiteral("package"),
    QStringLiteral("Package name"),
    QStringLiteral("Pac&kages"),
    QStringLiteral("Packages list for editing packages"),
    QStringLiteral("Edit package DDL statements"),
};

QString shownSource(const QString &source)
{
    return StatementLines::split(source).join(QLatin1Char('\n'));
}

} // namespace

TPackagesForm *TPackagesForm::open()
{
    return openInFrame<TPackagesForm>(&TPackagesForm::PackagesRefresh);
}

TPackagesForm::TPackagesForm(QWidget *parent) : TObjectListForm(kPackages, parent)
{
    SourceTabs = new QTabWidget(this);
    SourceTabs->setAccessibleName(QStringLiteral("Package source"));
    HeaderMemo = createSourceMemo(this, QStringLiteral("Package header"));
    BodyMemo = createSourceMemo(this, QStringLiteral("Package body"));
    SourceTabs->addTab(HeaderMemo, QStringLiteral("&Header"));
    SourceTabs->addTab(BodyMemo, QStringLiteral("&Body"));
    placeDetails(SourceTabs);
}

QStringList TPackagesForm::readObjects()
{
    m_list.clear();
    m_list = SchemaReader(DMSys->IBDataBase->connection()).readRoutines().packages;
    QStringList names;
    for (const SchemaPackage &package : std::as_const(m_list))
        names << package.name;
    return names;
}

const SchemaPackage *TPackagesForm::current() const
{
    const int row = currentRow();
    return row >= 0 && row < m_list.size() ? &m_list.at(row) : nullptr;
}

void TPackagesForm::followCurrent()
{
    const SchemaPackage *package = current();
    HeaderMemo->setPlainText(package ? shownSource(package->headerSource) : QString());
    BodyMemo->setPlainText(package ? shownSource(package->bodySource) : QString());
}

// The DDL window runs one statement: the body goes into a window of its own,
// and the header's, which must run first, is the one on top.
QStringList TPackagesForm::currentStatements() const
{
    const SchemaPackage *package = current();
    if (!package)
        return {};
    const int dialect = DMSys->IBDataBase->statementDialect();
    QStringList statements;
    if (!package->bodySource.isEmpty())
        statements << StatementLines::join(RoutineDdl::packageLines(
            QStringLiteral("RECREATE PACKAGE BODY"), package->name, package->bodySource, dialect));
    statements << StatementLines::join(RoutineDdl::packageLines(
        QStringLiteral("RECREATE PACKAGE"), package->name, package->headerSource, dialect,
        package->sqlSecurity));
    return statements;
}

// The body goes with its header.
QString TPackagesForm::dropStatement() const
{
    return QStringLiteral("DROP PACKAGE %1").arg(DMSys->IBDataBase->sqlName(current()->name));
}
