#include "catalog/TBackupForm.h"

#include "core/AppError.h"
#include "ibdb/BackupJob.h"
#include "ibdb/ServiceMonitor.h"
#include "schema/BackupVerification.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>

#include <ibase.h>

namespace {

QCheckBox *box(QWidget *parent, const QString &name, const QString &text, bool on = false)
{
    auto *check = new QCheckBox(text, parent);
    check->setObjectName(name);
    check->setChecked(on);
    return check;
}

} // namespace

TBackupForm *TBackupForm::open()
{
    return openInFrame<TBackupForm>();
}

TBackupForm::TBackupForm(QWidget *parent) : TServiceJobForm(parent)
{
    setWindowTitle(QStringLiteral("Backup"));
    setOptions(createOptions());
}

QWidget *TBackupForm::createOptions()
{
    auto *panel = new QWidget(this);
    auto *form = new QFormLayout(panel);
    FileEdit = new QLineEdit(panel);
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    FileEdit->setAccessibleName(QStringLiteral("Backup file"));
    OnServerCheck = box(panel, QStringLiteral("OnServerCheck"),
                        QStringLiteral("The file is a path on the &server's machine"));
    form->addRow(QStringLiteral("Backup &file:"), FileEdit);
    form->addRow(QString(), OnServerCheck);
    auto *grid = new QGridLayout;
    MetadataOnlyCheck = box(panel, "MetadataOnlyCheck", QStringLiteral("&Metadata only"));
    NoGarbageCollectionCheck =
        box(panel, "NoGarbageCollectionCheck", QStringLiteral("No &garbage collection"));
    IgnoreChecksumsCheck = box(panel, "IgnoreChecksumsCheck", QStringLiteral("Ignore &checksums"));
    IgnoreLimboCheck = box(panel, "IgnoreLimboCheck", QStringLiteral("Ignore &limbo transactions"));
    NonTransportableCheck = box(panel, "NonTransportableCheck",
                                QStringLiteral("&Non-transportable"));
    ConvertExternalCheck =
        box(panel, "ConvertExternalCheck", QStringLiteral("Convert e&xternal tables"));
    ExpandCheck = box(panel, "ExpandCheck", QStringLiteral("&Expand (no compression)"));
    VerboseCheck = box(panel, "VerboseCheck",
                       QStringLiteral("&Verbose log (backups on the server)"));
    VerifyCheck = box(panel, "VerifyCheck", QStringLiteral("Verify &after backup"), true);
    const QList<QCheckBox *> boxes{MetadataOnlyCheck,     NoGarbageCollectionCheck,
                                   IgnoreChecksumsCheck,  IgnoreLimboCheck,
                                   NonTransportableCheck, ConvertExternalCheck,
                                   ExpandCheck,           VerboseCheck,
                                   VerifyCheck};
    for (int i = 0; i < boxes.size(); ++i)
        grid->addWidget(boxes.at(i), i / 2, i % 2);
    form->addRow(grid);
    // The server writes a log only when it writes the file: a streamed
    // backup is the service's output.
    VerboseCheck->setEnabled(false);
    connect(OnServerCheck, &QCheckBox::toggled, VerboseCheck, &QCheckBox::setEnabled);
    return panel;
}

quint32 TBackupForm::flags() const
{
    const QList<QPair<QCheckBox *, quint32>> options{
        {MetadataOnlyCheck, isc_spb_bkp_metadata_only},
        {NoGarbageCollectionCheck, isc_spb_bkp_no_garbage_collect},
        {IgnoreChecksumsCheck, isc_spb_bkp_ignore_checksums},
        {IgnoreLimboCheck, isc_spb_bkp_ignore_limbo},
        {NonTransportableCheck, isc_spb_bkp_non_transportable},
        {ConvertExternalCheck, isc_spb_bkp_convert},
        {ExpandCheck, isc_spb_bkp_expand}};
    quint32 flags = 0;
    for (const auto &[check, flag] : options)
        if (check->isChecked())
            flags |= flag;
    return flags;
}

ServiceJobRunner::Job TBackupForm::prepare()
{
    BackupJob::Options options;
    options.database = database();
    options.file = FileEdit->text().trimmed();
    if (options.file.isEmpty())
        throw GeneralError(QStringLiteral("Name the backup file"));
    options.onServer = OnServerCheck->isChecked();
    options.flags = flags();
    options.verbose = options.onServer && VerboseCheck->isChecked();
    const bool verify = VerifyCheck->isChecked();
    return [options, verify, user = user(), password = password()](const ServiceMonitor &monitor) {
        BackupJob(options, user, password).run(monitor);
        monitor.tell(QStringLiteral("Backup written to %1").arg(options.file));
        if (!verify)
            return;
        const QStringList differences = BackupVerification(options.database, user, password)
                                            .run(options.file, options.onServer, monitor);
        if (differences.isEmpty()) {
            monitor.tell(QStringLiteral("Verified: the backup restores to an identical database"));
            return;
        }
        for (const QString &difference : differences)
            monitor.tell(difference);
        throw GeneralError(QStringLiteral("The backup does not restore to the same database: "
                                          "%1 differences, listed in the log")
                               .arg(differences.size()));
    };
}
