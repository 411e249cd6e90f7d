#include "app/THelpWindow.h"

#include "core/AppError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

THelpWindow::THelpWindow(const QString &fileName, QWidget *parent) : QTextBrowser(parent)
{
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quorvel for Interbase Help"));
    setOpenExternalLinks(true);
    setSource(QUrl::fromLocalFile(fileName), QTextDocument::HtmlResource);
    resize(640, 520);
}

QString THelpWindow::helpFileName()
{
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    return executable.absolutePath() + QLatin1Char('/') + executable.completeBaseName() +
           QStringLiteral(".hlp");
}

void THelpWindow::showHelp(QWidget *owner)
{
    static QPointer<THelpWindow> window;
    const QString fileName = helpFileName();
    if (!QFile::exists(fileName))
        throw GeneralError(QStringLiteral("Cannot find the help file %1").arg(fileName));
    if (!window)
        window = new THelpWindow(fileName, owner);
    window->show();
    window->raise();
    window->activateWindow();
}
