#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// Every question, message box, input box and file dialog of the program goes
// through here, so tests can answer them from a script.
class Prompts
{
public:
    enum class Buttons { OkCancel, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompts() = default;

    // A modal box titled "Confirm" with a question icon.
    virtual Answer confirm(const QString &text, Buttons buttons) = 0;
    // The standard error box: the text as given, the application title,
    // an error icon and OK.
    virtual void error(const QString &text) = 0;
    // A box that tells something and lets the command go on: the text,
    // the application title, an information icon and OK.
    virtual void inform(const QString &text) = 0;
    // An input box; false when cancelled.
    virtual bool inputQuery(const QString &caption, const QString &prompt, QString &value) = 0;
    // File dialogs; an empty result means cancelled.
    virtual QString openFileName(const QString &caption, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &filter) = 0;
    virtual QString directoryName(const QString &caption, const QString &start) = 0;

    static Prompts &instance();
    // Replaces the prompts in use (tests); returns the previous ones.
    static std::unique_ptr<Prompts> install(std::unique_ptr<Prompts> prompts);
};
