#include "app/TSplashScreen.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

TSplashScreen::TSplashScreen()
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::SplashScreen)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(433, 135);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto *panel = new QFrame;
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto *picture = new QLabel;
    picture->setPixmap(QPixmap(QStringLiteral(":/ibsqlcursor.xpm")).scaled(64, 64));
    picture->setAlignment(Qt::AlignCenter);
    auto *product = new QLabel(QStringLiteral("for InterBase databases"));
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);
    auto *inner = new QVBoxLayout(panel);
    inner->addWidget(picture, 1);
    inner->addWidget(product, 0, Qt::AlignLeft | Qt::AlignBottom);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}
