#include "FirstScreenProbe.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>

FirstScreenProbe::FirstScreenProbe(QObject *parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

FirstScreenProbe::~FirstScreenProbe()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

void FirstScreenProbe::watch(QWidget *window)
{
    m_window = window;
    m_painted = false;
}

bool FirstScreenProbe::wait(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!m_painted && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return m_painted;
}

bool FirstScreenProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Paint || m_painted || !m_window)
        return false;
    auto *view = qobject_cast<QAbstractItemView *>(watched->parent());
    if (view && view->viewport() == watched && view->model()
        && view->model()->rowCount() > 0 && m_window->isAncestorOf(view))
        m_painted = true;
    return false;
}
