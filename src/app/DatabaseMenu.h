#pragma once

#include <QList>
#include <QString>

#include <functional>

// The commands of the frame's "&Database" menu, each opening a new window,
// and the repository settings command of the File menu.
namespace DatabaseMenu {

struct Item
{
    QString text;
    QString hint;
    std::function<void()> open;
};

QList<Item> items();
void ORepSettingsClick();

} // namespace DatabaseMenu
