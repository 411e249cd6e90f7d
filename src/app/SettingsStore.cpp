#include "app/SettingsStore.h"

#include "core/ProgramSettings.h"

#include <QSettings>

namespace SettingsStore {

namespace {

const QString kAutoCommit = QStringLiteral("IB_AUTOCOMMIT");
const QString kRepositoryPath = QStringLiteral("Obj.rep. Path");
const QString kFrameGeometry = QStringLiteral("Frame geometry");
const QString kExplorerAtConnect = QStringLiteral("Explorer at connect");
// One value, not a group: a path's separators would nest QSettings groups.
const QString kLoginRoles = QStringLiteral("Login roles");


} // namespace

void read()
{
    QSettings settings(QStringLiteral("Kelderwick"), QStringLiteral("Quorvel"));
    read(settings);
}

QString write()
{
    QSettings settings(QStringLiteral("Kelderwick"), QStringLiteral("Quorvel"));
    return write(settings);
}

void read(QSettings &settings)
{
    ProgramSettings &values = ProgramSettings::instance();
    bool isNumber = false;
    const qlonglong autoCommit = settings.value(kAutoCommit).toLongLong(&isNumber);
    if (isNumber)
        values.AutoCommit = autoCommit != 0;
    const QVariant path = settings.value(kRepositoryPath);
    if (path.isValid() && path.canConvert<QString>()) {
        const QString text = path.toString();
        values.RepositoryPath = text.left(text.indexOf(QChar(0)));
    }
    const QVariant geometry = settings.value(kFrameGeometry);
    if (geometry.metaType().id() == QMetaType::QByteArray)
        values.FrameGeometry = geometry.toByteArray();
    const qlonglong explorer = settings.value(kExplorerAtConnect).toLongLong(&isNumber);
    if (isNumber)
        values.ExplorerAtConnect = explorer != 0;
    const QVariant roles = settings.value(kLoginRoles);
    if (roles.metaType().id() == QMetaType::QVariantMap) {
        values.LoginRoles.clear();
        const QVariantMap map = roles.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            values.LoginRoles.insert(it.key(), it.value().toString());
    }
}

QString write(QSettings &settings)
{
    const ProgramSettings &values = ProgramSettings::instance();
    settings.setValue(kAutoCommit, values.AutoCommit ? 1 : 0);
    settings.setValue(kRepositoryPath, values.RepositoryPath);
    if (!values.FrameGeometry.isEmpty())
        settings.setValue(kFrameGeometry, values.FrameGeometry);
    settings.setValue(kExplorerAtConnect, values.ExplorerAtConnect ? 1 : 0);
    // No entry until a role is remembered: the file stays as it was for
    // everyone who logs in without one.
    if (values.LoginRoles.isEmpty()) {
        settings.remove(kLoginRoles);
    } else {
        QVariantMap roles;
        for (auto it = values.LoginRoles.begin(); it != values.LoginRoles.end(); ++it)
            roles.insert(it.key(), it.value());
        settings.setValue(kLoginRoles, roles);
    }
    settings.sync();
    // A format error is left from reading a damaged file, which the sync
    // has just replaced; only a refused write is a failure here.
    if (settings.status() == QSettings::AccessError)
        return QStringLiteral("Failed to set data for '%1'").arg(kAutoCommit);
    return QString();
}

} // namespace SettingsStore
