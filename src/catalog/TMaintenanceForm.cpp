#include "catalog/TMaintenanceForm.h"

#include "core/AppError.h"
#include "ibdb/DatabaseService.h"
#include "ibdb/ServiceMonitor.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/Command.h"
#include "uikit/Prompts.h"
#include "uikit/Shell.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>

TMaintenanceForm *TMaintenanceForm::open()
{
    return openInFrame<TMaintenanceForm>();
}

TMaintenanceForm::TMaintenanceForm(QWidget *parent) : TServiceJobForm(parent)
{
    setWindowTitle(QStringLiteral("Validation and Sweep"));
    auto *panel = new QWidget(this);
    auto *form = new QFormLayout(panel);
    ActionBox = new QComboBox(panel);
    ActionBox->setObjectName(QStringLiteral("ActionBox"));
    ActionBox->addItems({QStringLiteral("Online validation of tables and indices"),
                         QStringLiteral("Full validation (database to itself)"),
                         QStringLiteral("Full validation and mend (database to itself)"),
                         QStringLiteral("Sweep")});
    form->addRow(QStringLiteral("&Job:"), ActionBox);
    setOptions(panel);
}

bool TMaintenanceForm::reportsFault(const QString &line)
{
    // "Relation 128 (T) : 3 ERRORS found", "Number of record level errors : 1";
    // a count of nought is no fault.
    // The full validation ends as a failure whose text is its summary.
    static const QRegularExpression count(
        QStringLiteral("\\b([1-9]\\d*) ERRORS found|errors\\s*:\\s*([1-9]\\d*)"
                       "|^Summary of validation errors"),
        QRegularExpression::CaseInsensitiveOption);
    return count.match(line).hasMatch();
}

ServiceJobRunner::Job TMaintenanceForm::prepare()
{
    m_faults.clear();
    const DatabaseService service(database(), user(), password());
    switch (ActionBox->currentIndex()) {
    case OnlineValidation:
        return [service](const ServiceMonitor &m) { service.validateOnline(m); };
    case FullValidation:
    case FullValidationMend:
        releaseOwnConnection();
        return [service, mend = ActionBox->currentIndex() == FullValidationMend](
                   const ServiceMonitor &m) {
            try {
                service.validateFull(mend, m);
            } catch (const DatabaseError &error) {
                // What it found is the failure's text: the log keeps it too.
                m.tell(error.message());
                throw;
            }
        };
    default: break;
    }
    return [service](const ServiceMonitor &m) { service.sweep(m); };
}

// The server refuses the full validation to a database with another
// attachment, this program's own included ("secondary server attachments
// cannot validate databases"), so the program lets go of it for the job.
void TMaintenanceForm::releaseOwnConnection()
{
    if (!DMSys->IBDataBase->Connected())
        return;
    const QString question = QStringLiteral(
        "The full validation needs the database to itself. Close this program's connection "
        "for it, and connect again when it ends?");
    if (Prompts::instance().confirm(question, Prompts::Buttons::OkCancel) != Prompts::Answer::Ok)
        throw SilentAbort();
    Shell::instance().releaseConnection(this);
    m_released = true;
}

void TMaintenanceForm::jobEnded(ServiceJobRunner::End end)
{
    if (m_released) {
        m_released = false;
        Command::run([] { Shell::instance().restoreConnection(); });
    }
    if (end == ServiceJobRunner::End::Cancelled || ActionBox->currentIndex() == Sweep)
        return;
    for (const QString &line : Log->toPlainText().split(QLatin1Char('\n')))
        if (reportsFault(line))
            m_faults << line.trimmed();
    // A job that failed before it found anything validated nothing.
    if (end == ServiceJobRunner::End::Failed && m_faults.isEmpty())
        return;
    const QString verdict = m_faults.isEmpty()
                                ? QStringLiteral(": no faults found")
                                : QStringLiteral(": %1 reports of faults, see the log")
                                      .arg(m_faults.size());
    ResultLine->setText(ResultLine->text() + verdict);
}
