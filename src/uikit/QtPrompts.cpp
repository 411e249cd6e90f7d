#include "uikit/QtPrompts.h"

#include "uikit/ApplicationTitle.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget *owner()
{
    return QApplication::activeWindow();
}

} // namespace

Prompts::Answer QtPrompts::confirm(const QString &text, Buttons buttons)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton,
                    owner());
    QList<std::pair<QAbstractButton *, Answer>> answers;
    auto add = [&](const QString &caption, QMessageBox::ButtonRole role, Answer answer) {
        answers.append({box.addButton(caption, role), answer});
    };
    if (buttons == Buttons::OkCancel) {
        add(QStringLiteral("OK"), QMessageBox::AcceptRole, Answer::Ok);
    } else {
        add(QStringLiteral("&Yes"), QMessageBox::YesRole, Answer::Yes);
        add(QStringLiteral("&No"), QMessageBox::NoRole, Answer::No);
    }
    add(QStringLiteral("Cancel"), QMessageBox::RejectRole, Answer::Cancel);
    box.setEscapeButton(answers.last().first);
    box.exec();
    for (const auto &[button, answer] : answers) {
        if (box.clickedButton() == button)
            return answer;
    }
    return Answer::Cancel;
}

void QtPrompts::error(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle, text, QMessageBox::Ok, owner());
    box.exec();
}

void QtPrompts::inform(const QString &text)
{
    QMessageBox box(QMessageBox::Information, ApplicationTitle, text, QMessageBox::Ok, owner());
    box.exec();
}

bool QtPrompts::inputQuery(const QString &caption, const QString &prompt, QString &value)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(owner(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = text;
    return ok;
}

QString QtPrompts::openFileName(const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner(), caption, QString(), filter);
}

QString QtPrompts::saveFileName(const QString &caption, const QString &filter)
{
    return QFileDialog::getSaveFileName(owner(), caption, QString(), filter);
}

QString QtPrompts::directoryName(const QString &caption, const QString &start)
{
    return QFileDialog::getExistingDirectory(owner(), caption, start);
}
