#include "app/TAboutBox.h"

#include "uikit/ApplicationTitle.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About"));
    auto *product = new QLabel(ApplicationTitle);
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    product->setFont(bold);
    auto *version = new QLabel(QStringLiteral("Version 1.1"));
    auto *purpose = new QLabel(QStringLiteral(
        "Inspects and changes the metadata of an InterBase-compatible database."));
    purpose->setWordWrap(true);
    auto *buttons = new QDialogButtonBox;
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addWidget(version);
    layout->addWidget(purpose);
    layout->addWidget(buttons);
}

TAboutBox &TAboutBox::shared()
{
    static TAboutBox *box = new TAboutBox;
    return *box;
}
