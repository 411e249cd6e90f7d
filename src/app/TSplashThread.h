#pragma once

#include <QPointer>
#include <QThread>

class TSplashScreen;

// Hands the splash window's destruction to the main thread: the call is
// queued, so it runs as soon as the main thread handles events.
class TSplashThread : public QThread
{
    Q_OBJECT

public:
    explicit TSplashThread(TSplashScreen *splash);

protected:
    void run() override;

private:
    QPointer<TSplashScreen> m_splash;
};
