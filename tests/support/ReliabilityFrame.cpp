#include "support/ReliabilityFrame.h"

#include "app/TDBEntryDlg.h"
#include "app/TMainForm.h"
#include "core/ProgramSettings.h"
#include "ibdb/TIBDataBase.h"
#include "support/ReliabilityFiles.h"
#include "support/ScopedFormRunner.h"
#include "uikit/Command.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>

ReliabilityFrame::ReliabilityFrame(bool autoCommit, const QString &history)
    : dir(QDir(ReliabilityFiles::tempRoot()).filePath(QStringLiteral("qvf-XXXXXX")))
{
    historyFile = history.isEmpty() ? dir.filePath(QStringLiteral("connect.hst")) : history;
    ProgramSettings::instance().AutoCommit = autoCommit;
    ProgramSettings::instance().RepositoryPath = dir.path();
    dm.DMSysCreate();
    frame = std::make_unique<TMainForm>(dm, QString(), historyFile);
}

ReliabilityFrame::~ReliabilityFrame()
{
    frame.reset();
}

QString ReliabilityFrame::lastErrorSince(qsizetype count) const
{
    const QStringList shown = prompts.errors();
    return shown.size() > count ? shown.last() : QString();
}

QString ReliabilityFrame::connect(const QString &path, const QString &user,
                                  const QString &password, const QString &role)
{
    const qsizetype before = prompts.errors().size();
    {
        const ScopedFormRunner login([&](QDialog *dialog) {
            auto *form = static_cast<TDBEntryDlg *>(dialog);
            form->dbPath->setEditText(path);
            form->UserN->setText(user);
            form->Password->setText(password);
            form->Role->setText(role);
            return int(QDialog::Accepted);
        });
        frame->MnConnect->trigger();
    }
    return lastErrorSince(before);
}

QString ReliabilityFrame::execute(const QString &statement)
{
    return run([&] {
        DMSys->IBDataBase->ExecuteStatement(statement, ProgramSettings::instance().AutoCommit);
    });
}

QString ReliabilityFrame::run(const std::function<void()> &command)
{
    const qsizetype before = prompts.errors().size();
    Command::run(command);
    return lastErrorSince(before);
}

bool ReliabilityFrame::inTransaction() const
{
    return DMSys->IBDataBase->InTransaction();
}

QString ReliabilityFrame::panel(int number) const
{
    return frame->panel(number)->text();
}

bool ReliabilityFrame::transactionShownRightly() const
{
    const bool active = inTransaction();
    const QString expectedPanel = ProgramSettings::instance().AutoCommit
                                      ? QStringLiteral("AUTO")
                                      : (active ? QStringLiteral("TRANS") : QString());
    return frame->MnCommitWork->isEnabled() == active
           && frame->MnRollBackWork->isEnabled() == active && panel(2) == expectedPanel;
}
