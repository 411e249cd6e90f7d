#pragma once

#include <QTextBrowser>

// The help file beside the executable ("quorvel.hlp", HTML), shown at its top.
class THelpWindow : public QTextBrowser
{
    Q_OBJECT

public:
    explicit THelpWindow(const QString &fileName, QWidget *parent = nullptr);

    static QString helpFileName();
    // Opens the help window, or raises the one already open.
    static void showHelp(QWidget *owner);
};
