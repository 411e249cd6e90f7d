#include "catalog/TRestoreForm.h"

#include "core/AppError.h"
#include "ibdb/RestoreJob.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServerCall.h"
#include "ibdb/ServiceAddress.h"
#include "uikit/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <ibase.h>

namespace {

QCheckBox *box(QWidget *parent, const char *name, const QString &text, bool on = false)
{
    auto *check = new QCheckBox(text, parent);
    check->setObjectName(QLatin1String(name));
    check->setChecked(on);
    return check;
}

} // namespace

TRestoreForm *TRestoreForm::open()
{
    return openInFrame<TRestoreForm>();
}

TRestoreForm::TRestoreForm(QWidget *parent) : TServiceJobForm(parent)
{
    setWindowTitle(QStringLiteral("Restore"));
    setOptions(createOptions());
}

QWidget *TRestoreForm::createOptions()
{
    auto *panel = new QWidget(this);
    auto *form = new QFormLayout(panel);
    FileEdit = new QLineEdit(panel);
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    OnServerCheck = box(panel, "OnServerCheck",
                        QStringLiteral("The file is a path on the &server's machine"));
    DatabaseEdit = new QLineEdit(panel);
    DatabaseEdit->setObjectName(QStringLiteral("DatabaseEdit"));
    DatabaseEdit->setPlaceholderText(QStringLiteral("path, or host/port:path"));
    PageSizeBox = new QComboBox(panel);
    PageSizeBox->setObjectName(QStringLiteral("PageSizeBox"));
    PageSizeBox->addItem(QStringLiteral("The backup's own"), 0);
    for (int size : {4096, 8192, 16384, 32768})
        PageSizeBox->addItem(QString::number(size), size);
    BuffersEdit = new QSpinBox(panel);
    BuffersEdit->setObjectName(QStringLiteral("BuffersEdit"));
    BuffersEdit->setRange(0, 1000000);
    BuffersEdit->setSpecialValueText(QStringLiteral("The server's default"));
    form->addRow(QStringLiteral("Backup &file:"), FileEdit);
    form->addRow(QString(), OnServerCheck);
    form->addRow(QStringLiteral("New &database:"), DatabaseEdit);
    form->addRow(QStringLiteral("&Page size:"), PageSizeBox);
    form->addRow(QStringLiteral("Page &buffers:"), BuffersEdit);
    DeactivateIndicesCheck = box(panel, "DeactivateIndicesCheck",
                                 QStringLiteral("Deactivate &indices"));
    NoValidityCheck = box(panel, "NoValidityCheck", QStringLiteral("No &validity checks"));
    OneAtATimeCheck = box(panel, "OneAtATimeCheck", QStringLiteral("&One relation at a time"));
    UseAllSpaceCheck = box(panel, "UseAllSpaceCheck", QStringLiteral("Use &all space"));
    ReadOnlyCheck = box(panel, "ReadOnlyCheck", QStringLiteral("&Read-only"));
    ReplaceCheck = box(panel, "ReplaceCheck", QStringLiteral("R&eplace an existing database"));
    VerboseCheck = box(panel, "VerboseCheck", QStringLiteral("Ver&bose log"), true);
    KeepOnFailureCheck = box(panel, "KeepOnFailureCheck",
                             QStringLiteral("&Keep what a failed restore wrote"));
    const QList<QCheckBox *> boxes{DeactivateIndicesCheck, NoValidityCheck, OneAtATimeCheck,
                                   UseAllSpaceCheck,       ReadOnlyCheck,   ReplaceCheck,
                                   VerboseCheck,           KeepOnFailureCheck};
    auto *grid = new QGridLayout;
    for (int i = 0; i < boxes.size(); ++i)
        grid->addWidget(boxes.at(i), i / 2, i % 2);
    form->addRow(grid);
    return panel;
}

quint32 TRestoreForm::flags() const
{
    const QList<QPair<QCheckBox *, quint32>> options{
        {DeactivateIndicesCheck, isc_spb_res_deactivate_idx},
        {NoValidityCheck, isc_spb_res_no_validity},
        {OneAtATimeCheck, isc_spb_res_one_at_a_time},
        {UseAllSpaceCheck, isc_spb_res_use_all_space}};
    quint32 flags = 0;
    for (const auto &[check, flag] : options)
        if (check->isChecked())
            flags |= flag;
    return flags;
}

QString TRestoreForm::replaceQuestion(const QString &database)
{
    const ServiceAddress address(database);
    if (address.remote())
        return QStringLiteral("The restore overwrites the database file %1 on the server %2\n"
                              "Replace it?")
            .arg(address.path(), address.serverPrefix().chopped(1));
    return QStringLiteral("The restore overwrites the database file %1\nReplace it?")
        .arg(address.path());
}

void TRestoreForm::confirmReplace(const QString &database) const
{
    const RestoreTarget target(database, user(), password());
    QByteArray stamp;
    ServerCall::runAside([&] { stamp = target.creationStamp(); });
    if (stamp.isEmpty())
        return;
    if (Prompts::instance().confirm(replaceQuestion(database), Prompts::Buttons::OkCancel)
        != Prompts::Answer::Ok)
        throw SilentAbort();
}

ServiceJobRunner::Job TRestoreForm::prepare()
{
    RestoreJob::Options options;
    options.file = FileEdit->text().trimmed();
    options.database = DatabaseEdit->text().trimmed();
    if (options.file.isEmpty() || options.database.isEmpty())
        throw GeneralError(QStringLiteral("Name the backup file and the new database"));
    database(); // the login is the connected database's
    options.onServer = OnServerCheck->isChecked();
    options.pageSize = PageSizeBox->currentData().toUInt();
    options.buffers = quint32(BuffersEdit->value());
    options.flags = flags();
    options.readOnly = ReadOnlyCheck->isChecked();
    options.replace = ReplaceCheck->isChecked();
    options.verbose = VerboseCheck->isChecked();
    options.keepOnFailure = KeepOnFailureCheck->isChecked();
    if (options.replace)
        confirmReplace(options.database);
    return [options, user = user(), password = password()](const ServiceMonitor &monitor) {
        RestoreJob(options, user, password).run(monitor);
    };
}
