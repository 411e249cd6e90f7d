#include "app/TSplashThread.h"

#include "app/TSplashScreen.h"

#include <QCoreApplication>

TSplashThread::TSplashThread(TSplashScreen *splash) : m_splash(splash)
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TSplashThread::run()
{
    // The thread touches no window: the close runs in the main thread.
    QMetaObject::invokeMethod(qApp, [splash = m_splash] {
        if (splash)
            splash->close();
    }, Qt::QueuedConnection);
}
