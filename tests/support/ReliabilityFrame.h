#pragma once

#include "ibdb/TDMSys.h"
#include "support/ScriptedPrompts.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class TMainForm;

// The whole program minus main(): data module and frame with scripted boxes,
// driven through its menu items the way a user would.
class ReliabilityFrame
{
public:
    explicit ReliabilityFrame(bool autoCommit, const QString &historyFile = QString());
    ~ReliabilityFrame();

    // File > Connect with the login dialog filled in; "Commit work?" questions
    // are answered from prompts.answers. Returns the error shown, if any.
    QString connect(const QString &path, const QString &user, const QString &password,
                    const QString &role = QString());
    // One statement through ExecuteStatement as a user command would run it.
    QString execute(const QString &statement);
    // Runs a command the way a menu item would; returns the error shown.
    QString run(const std::function<void()> &command);

    // The menu items and panel 2 agree with the connection's transaction.
    bool transactionShownRightly() const;
    bool inTransaction() const;
    QString panel(int number) const;

    QTemporaryDir dir;
    QString historyFile;
    ScriptedPrompts prompts;
    TDMSys dm;
    std::unique_ptr<TMainForm> frame;

private:
    QString lastErrorSince(qsizetype count) const;
};
