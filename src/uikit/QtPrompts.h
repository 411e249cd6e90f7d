#pragma once

#include "uikit/Prompts.h"

// The real boxes.
class QtPrompts : public Prompts
{
public:
    Answer confirm(const QString &text, Buttons buttons) override;
    void error(const QString &text) override;
    void inform(const QString &text) override;
    bool inputQuery(const QString &caption, const QString &prompt, QString &value) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &filter) override;
    QString directoryName(const QString &caption, const QString &start) override;
};
