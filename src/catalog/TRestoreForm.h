#pragma once

#include "catalog/TServiceJobForm.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

// Database > Restore…: a backup from this machine (sent as the service's
// input) or from the server's, restored by the target's server into a new
// database, a path or host/port:path. An existing database is overwritten
// only with Replace ticked, and only after the user agreed to lose that file.
class TRestoreForm : public TServiceJobForm
{
    Q_OBJECT

public:
    static TRestoreForm *open();
    explicit TRestoreForm(QWidget *parent = nullptr);

    // The isc_spb_res_... options of the boxes ticked, beside create and replace.
    quint32 flags() const;
    static QString replaceQuestion(const QString &database);

    QLineEdit *FileEdit;
    QCheckBox *OnServerCheck;
    QLineEdit *DatabaseEdit;
    QComboBox *PageSizeBox;
    QSpinBox *BuffersEdit;
    QCheckBox *DeactivateIndicesCheck;
    QCheckBox *NoValidityCheck;
    QCheckBox *OneAtATimeCheck;
    QCheckBox *UseAllSpaceCheck;
    QCheckBox *ReadOnlyCheck;
    QCheckBox *ReplaceCheck;
    QCheckBox *VerboseCheck;
    QCheckBox *KeepOnFailureCheck;

protected:
    ServiceJobRunner::Job prepare() override;

private:
    QWidget *createOptions();
    void confirmReplace(const QString &database) const;
};
