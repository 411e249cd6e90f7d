#include "support/ScriptedPrompts.h"

ScriptedPrompts::ScriptedPrompts()
    : m_previous(Prompts::install(std::unique_ptr<Prompts>(this)))
{
}

ScriptedPrompts::~ScriptedPrompts()
{
    // Give back the previous prompts without deleting ourselves twice.
    Prompts::install(std::move(m_previous)).release();
}

Prompts::Answer ScriptedPrompts::confirm(const QString &text, Buttons buttons)
{
    asked.append({QStringLiteral("confirm"), text,
                  buttons == Buttons::OkCancel ? QStringLiteral("OkCancel")
                                               : QStringLiteral("YesNoCancel")});
    return answers.isEmpty() ? Answer::Cancel : answers.dequeue();
}

void ScriptedPrompts::error(const QString &text)
{
    asked.append({QStringLiteral("error"), text, QString()});
}

bool ScriptedPrompts::inputQuery(const QString &caption, const QString &prompt, QString &value)
{
    asked.append({QStringLiteral("input"), prompt, caption});
    const std::optional<QString> answer = inputs.isEmpty() ? std::nullopt : inputs.dequeue();
    if (answer)
        value = *answer;
    return answer.has_value();
}

QString ScriptedPrompts::openFileName(const QString &caption, const QString &)
{
    asked.append({QStringLiteral("open"), QString(), caption});
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompts::saveFileName(const QString &caption, const QString &)
{
    asked.append({QStringLiteral("save"), QString(), caption});
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompts::directoryName(const QString &caption, const QString &)
{
    asked.append({QStringLiteral("directory"), QString(), caption});
    return files.isEmpty() ? QString() : files.dequeue();
}

void ScriptedPrompts::inform(const QString &text)
{
    asked.append({QStringLiteral("inform"), text, QString()});
}

QStringList ScriptedPrompts::texts(const QString &kind) const
{
    QStringList list;
    for (const Asked &a : asked) {
        if (a.kind == kind)
            list << a.text;
    }
    return list;
}

QStringList ScriptedPrompts::errors() const
{
    return texts(QStringLiteral("error"));
}

QStringList ScriptedPrompts::told() const
{
    return texts(QStringLiteral("inform"));
}

QStringList ScriptedPrompts::questions() const
{
    QStringList list;
    for (const Asked &a : asked) {
        if (a.kind == QLatin1String("confirm"))
            list << a.text;
    }
    return list;
}
