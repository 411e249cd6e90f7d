#include "catalog/MetadataExtraction.h"

#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"
#include "workbench/TSQLExprForm.h"

#include <QApplication>
#include <QProgressDialog>

namespace MetadataExtraction {

QString caption()
{
    return QStringLiteral("Extract Metadata");
}

QString label()
{
    return QStringLiteral("Reading the database's metadata…");
}

namespace {

SchemaModel readWithProgress(TIBDataBase *database)
{
    QProgressDialog progress(label(), QStringLiteral("Cancel"), 0, SchemaReader::stepCount(),
                             QApplication::activeWindow());
    progress.setWindowTitle(caption());
    progress.setAccessibleName(caption());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(400); // a small schema reads without a flash of it
    progress.setAutoReset(false);
    SchemaReader reader(database->connection());
    // Cancel is seen between the queries: each one is a single round of the
    // server's, never one per object.
    reader.setProgress([&progress](int step, int) {
        progress.setValue(step);
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    return reader.read();
}

} // namespace

void open()
{
    TIBDataBase *database = DMSys->IBDataBase;
    const SchemaModel model = readWithProgress(database);
    OpenInDDLWindow(SchemaScript(model, database->param(QStringLiteral("SERVER NAME"))).text());
}

} // namespace MetadataExtraction
