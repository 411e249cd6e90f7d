#pragma once

#include "catalog/TServiceJobForm.h"

class QCheckBox;
class QLineEdit;

// Database > Backup…: a backup of the connected database by its server,
// streamed to a file on this machine or written to a path on the server,
// with gbak's options, and proven by a restore when "Verify after backup"
// is on (as it is at first).
class TBackupForm : public TServiceJobForm
{
    Q_OBJECT

public:
    static TBackupForm *open();
    explicit TBackupForm(QWidget *parent = nullptr);

    // The isc_spb_bkp_... options of the boxes ticked.
    quint32 flags() const;

    QLineEdit *FileEdit;
    QCheckBox *OnServerCheck;
    QCheckBox *MetadataOnlyCheck;
    QCheckBox *NoGarbageCollectionCheck;
    QCheckBox *IgnoreChecksumsCheck;
    QCheckBox *IgnoreLimboCheck;
    QCheckBox *NonTransportableCheck;
    QCheckBox *ConvertExternalCheck;
    QCheckBox *ExpandCheck;
    QCheckBox *VerboseCheck;
    QCheckBox *VerifyCheck;

protected:
    ServiceJobRunner::Job prepare() override;

private:
    QWidget *createOptions();
};
