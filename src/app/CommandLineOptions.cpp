#include "app/CommandLineOptions.h"

namespace CommandLineOptions {

namespace {

enum class QtTakes { Nothing, Alone, WithValue };

// How Qt takes an argument, by its name without dashes and value.
QtTakes qtOption(const QString &argument)
{
    static const QStringList valued{
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("session"),
        QStringLiteral("display"),         QStringLiteral("geometry"),
        QStringLiteral("style"),           QStringLiteral("stylesheet")};
    static const QStringList flags{
        QStringLiteral("reverse"),       QStringLiteral("widgetcount"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("dialogs"),
        QStringLiteral("fontengine")};
    const QString bare = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = bare.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? bare : bare.left(equals);
    if (valued.contains(name))
        return equals < 0 ? QtTakes::WithValue : QtTakes::Alone;
    return flags.contains(name) ? QtTakes::Alone : QtTakes::Nothing;
}

bool looksLikeOption(const QString &argument)
{
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
}

} // namespace

QString firstUnknown(const QStringList &arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (!looksLikeOption(arguments[i]))
            continue;
        switch (qtOption(arguments[i])) {
        case QtTakes::Nothing: return arguments[i];
        case QtTakes::WithValue: ++i; break;
        case QtTakes::Alone: break;
        }
    }
    return {};
}

} // namespace CommandLineOptions
