#include "catalog/TServiceJobForm.h"

#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "core/AppError.h"
#include "core/WholeFile.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/Command.h"
#include "uikit/Prompts.h"

#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TServiceJobForm::TServiceJobForm(QWidget *parent)
    : TChildForm(parent), m_runner(new ServiceJobRunner(this))
{
    createToolPanel();
    ProgressLine = new QLabel(this);
    ProgressLine->setObjectName(QStringLiteral("ProgressLine"));
    ProgressLine->setContentsMargins(4, 2, 4, 2);
    Log = new QPlainTextEdit(this);
    Log->setObjectName(QStringLiteral("Log"));
    Log->setAccessibleName(QStringLiteral("Log"));
    Log->setReadOnly(true);
    Log->setLineWrapMode(QPlainTextEdit::NoWrap);
    ResultLine = new QLabel(this);
    ResultLine->setObjectName(QStringLiteral("ResultLine"));
    ResultLine->setContentsMargins(4, 2, 4, 2);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ComPanel);
    layout->addWidget(ProgressLine);
    layout->addWidget(Log, 1);
    layout->addWidget(ResultLine);
    connect(m_runner, &ServiceJobRunner::line, this, [this](const QString &t) { appendLine(t); });
    connect(m_runner, &ServiceJobRunner::progress, this, [this](qint64 done, qint64 total) {
        ProgressLine->setText(progressText(done, total));
    });
    connect(m_runner, &ServiceJobRunner::finished, this,
            [this](ServiceJobRunner::End end, const QString &message, qint64 elapsed) {
                showEnd(end, message, elapsed);
            });
    updateButtons();
    resize(640, 520);
}

void TServiceJobForm::createToolPanel()
{
    ComPanel = new TToolPanel(this);
    StartBtn = ComPanel->addCaptionButton(QStringLiteral("run"), QStringLiteral("&Start"),
                                          QStringLiteral("Starts the job on the server"));
    CancelBtn = ComPanel->addCaptionButton(QStringLiteral("cancel"), QStringLiteral("&Cancel"),
                                           QStringLiteral("Ends the running job on the server"));
    ComPanel->addSeparator();
    SaveLogBtn = ComPanel->addCaptionButton(QStringLiteral("save_file"),
                                            QStringLiteral("Save &Log…"),
                                            QStringLiteral("Saves the job's log to a file"));
    ComPanel->addStretch();
    onClick(StartBtn, [this] { StartBtnClick(); });
    onClick(CancelBtn, [this] { CancelBtnClick(); });
    onClick(SaveLogBtn, [this] { SaveLogBtnClick(); });
}

void TServiceJobForm::setOptions(QWidget *options)
{
    m_options = options;
    static_cast<QVBoxLayout *>(layout())->insertWidget(1, options);
}

void TServiceJobForm::StartBtnClick()
{
    if (m_runner->running())
        return;
    ServiceJobRunner::Job job = prepare();
    Log->clear();
    ResultLine->clear();
    ProgressLine->setText(QStringLiteral("Running…"));
    m_runner->start(std::move(job));
    updateButtons();
}

void TServiceJobForm::CancelBtnClick()
{
    if (!m_runner->running())
        return;
    m_runner->cancel();
    ProgressLine->setText(QStringLiteral("Cancelling…"));
}

void TServiceJobForm::SaveLogBtnClick()
{
    const QString fileName = Prompts::instance().saveFileName(
        QStringLiteral("Save Log"), QStringLiteral("Log files (*.log *.txt);;All files (*)"));
    if (fileName.isEmpty())
        throw SilentAbort();
    const QString failure = WholeFile::write(fileName, (Log->toPlainText() + '\n').toUtf8());
    if (!failure.isEmpty())
        throw GeneralError(QStringLiteral("cannot write %1: %2").arg(fileName, failure));
}

void TServiceJobForm::appendLine(const QString &text)
{
    Log->appendPlainText(text);
    if (!text.isEmpty())
        ProgressLine->setText(text);
}

void TServiceJobForm::showEnd(ServiceJobRunner::End end, const QString &message, qint64 elapsed)
{
    ResultLine->setText(endText(end, elapsed));
    ProgressLine->clear();
    appendLine(ResultLine->text());
    updateButtons();
    jobEnded(end);
    if (end == ServiceJobRunner::End::Failed)
        Command::tellOnce(message.isEmpty() ? QStringLiteral("the job failed") : message);
}

void TServiceJobForm::updateButtons()
{
    const bool busy = m_runner->running();
    StartBtn->setEnabled(!busy);
    CancelBtn->setEnabled(busy);
    if (m_options)
        m_options->setEnabled(!busy);
}

QString TServiceJobForm::durationText(qint64 elapsed)
{
    if (elapsed < 60000)
        return QStringLiteral("%1 s").arg(QString::number(elapsed / 1000.0, 'f', 1));
    const qint64 seconds = elapsed / 1000;
    if (seconds < 3600)
        return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
    return QStringLiteral("%1 h %2 min")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QChar('0'));
}

QString TServiceJobForm::endText(ServiceJobRunner::End end, qint64 elapsed)
{
    switch (end) {
    case ServiceJobRunner::End::Succeeded:
        return QStringLiteral("Succeeded in %1").arg(durationText(elapsed));
    case ServiceJobRunner::End::Failed:
        return QStringLiteral("Failed after %1").arg(durationText(elapsed));
    case ServiceJobRunner::End::Cancelled: break;
    }
    return QStringLiteral("Cancelled after %1").arg(durationText(elapsed));
}

QString TServiceJobForm::progressText(qint64 done, qint64 total)
{
    const QLocale c = QLocale::c();
    const QString sent = c.formattedDataSize(done, 1, QLocale::DataSizeTraditionalFormat);
    if (total <= 0)
        return QStringLiteral("%1 so far").arg(sent);
    return QStringLiteral("%1 of %2 (%3%)")
        .arg(sent, c.formattedDataSize(total, 1, QLocale::DataSizeTraditionalFormat))
        .arg(done * 100 / total);
}

// The login stays known after the tool lets go of its attachment, which a
// job that needs the database to itself (full validation) asks for.
QString TServiceJobForm::database()
{
    const QString name =
        DMSys ? DMSys->IBDataBase->param(QStringLiteral("SERVER NAME")) : QString();
    if (name.isEmpty())
        throw GeneralError(QStringLiteral("Not connected to a database"));
    return name;
}

QString TServiceJobForm::user()
{
    return DMSys->IBDataBase->param(QStringLiteral("USER NAME"));
}

QString TServiceJobForm::password()
{
    return DMSys->IBDataBase->param(QStringLiteral("PASSWORD"));
}
