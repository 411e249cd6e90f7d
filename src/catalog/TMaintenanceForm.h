#pragma once

#include "catalog/TServiceJobForm.h"

class QComboBox;

// Database > Validation and Sweep…: the server's checks of the connected
// database and its sweep, each a job with its log. Online validation checks
// tables and indices while the database stays in use; the full validation
// (and mend) needs the database to itself.
class TMaintenanceForm : public TServiceJobForm
{
    Q_OBJECT

public:
    enum Action { OnlineValidation, FullValidation, FullValidationMend, Sweep };

    static TMaintenanceForm *open();
    explicit TMaintenanceForm(QWidget *parent = nullptr);

    QComboBox *ActionBox;
    // Lines of the last job's log that report a fault.
    const QStringList &faults() const { return m_faults; }
    static bool reportsFault(const QString &line);

protected:
    ServiceJobRunner::Job prepare() override;
    void jobEnded(ServiceJobRunner::End end) override;

private:
    void releaseOwnConnection();

    QStringList m_faults;
    // The program's attachment was let go for the running job.
    bool m_released = false;
};
