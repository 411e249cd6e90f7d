#pragma once

#include <QWidget>

// Shown while start-up creates the first objects; gone once the event loop runs.
class TSplashScreen : public QWidget
{
    Q_OBJECT

public:
    TSplashScreen();
};
