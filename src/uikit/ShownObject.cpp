#include "uikit/ShownObject.h"

#include "core/AppError.h"
#include "uikit/Prompts.h"

namespace ShownObject {

void dropped(const QString &name)
{
    throw GeneralError(
        QStringLiteral("%1 was dropped by another user since it was shown").arg(name));
}

void readAgain(const QString &name, const Statement &statement,
               const std::function<void()> &reread)
{
    const std::optional<QString> shown = statement();
    reread();
    const std::optional<QString> now = statement();
    if (!now)
        dropped(name);
    if (shown != now)
        Prompts::instance().inform(QStringLiteral("%1 was changed by another user since it was "
                                                  "shown; the statement is built from its "
                                                  "current text.")
                                       .arg(name));
}

} // namespace ShownObject
