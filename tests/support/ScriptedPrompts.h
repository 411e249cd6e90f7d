#pragma once

#include "uikit/Prompts.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <optional>

// Prompts for tests: answers come from queues, and everything asked or shown
// is recorded. Installed for the lifetime of the object.
class ScriptedPrompts : public Prompts
{
public:
    struct Asked
    {
        QString kind; // "confirm", "error", "inform", "input", "open", "save", "directory"
        QString text;    // the question, message or prompt
        QString caption; // the title, or for confirm "OkCancel"/"YesNoCancel"
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    Answer confirm(const QString &text, Buttons buttons) override;
    void error(const QString &text) override;
    void inform(const QString &text) override;
    bool inputQuery(const QString &caption, const QString &prompt, QString &value) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &filter) override;
    QString directoryName(const QString &caption, const QString &start) override;

    // Answers used in order; an empty queue answers Cancel / cancels.
    QQueue<Answer> answers;
    QQueue<std::optional<QString>> inputs; // nullopt = cancel
    QQueue<QString> files;                 // for open, save and directory dialogs

    QList<Asked> asked;
    QStringList errors() const;
    QStringList told() const; // what inform() showed
    QStringList questions() const;

private:
    QStringList texts(const QString &kind) const;

    std::unique_ptr<Prompts> m_previous;
};
