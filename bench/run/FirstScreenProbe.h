#pragma once

#include <QObject>
#include <QPointer>

// Tells when a window has shown rows: a grid of the window with rows in its
// model has been painted (the offscreen platform paints like any other).
class FirstScreenProbe : public QObject
{
    Q_OBJECT

public:
    explicit FirstScreenProbe(QObject *parent = nullptr);
    ~FirstScreenProbe() override;

    // Watches the window; forgets any paint seen so far.
    void watch(QWidget *window);
    // Runs the event loop until the window's rows are painted; false on timeout.
    bool wait(int timeoutMs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    bool m_painted = false;
};
