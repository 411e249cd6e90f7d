#include "catalog/TRelationPickerDlg.h"

#include "core/AppError.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TRelationPickerDlg::TRelationPickerDlg(const QString &caption, const QString &listLabel,
                                       QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    m_top = new QVBoxLayout;
    layout->addLayout(m_top);

    Label1 = new QLabel(listLabel, this);
    TablesList = new QListWidget(this);
    TablesList->setSelectionMode(QAbstractItemView::SingleSelection);
    TablesList->setSortingEnabled(false);
    Label1->setBuddy(TablesList);
    layout->addWidget(Label1);
    layout->addWidget(TablesList);

    OkBtn = new QPushButton(QStringLiteral("Ok"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    OkBtn->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(TablesList, &QListWidget::itemDoubleClicked, this,
            &TRelationPickerDlg::TablesListDblClick);
    TablesList->setFocus();
}

QString TRelationPickerDlg::selectedName() const
{
    const QListWidgetItem *item = TablesList->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

QString TRelationPickerDlg::choose()
{
    centreOnScreen();
    if (ModalForms::exec(this) != QDialog::Accepted)
        throw SilentAbort();
    const QString name = selectedName();
    if (name.isEmpty())
        throw SilentAbort();
    return name;
}

void TRelationPickerDlg::fillList(const std::function<void(QStringList &)> &listNames)
{
    TablesList->clear();
    OkBtn->setEnabled(false);
    Command::run([&] {
        QStringList names;
        listNames(names);
        TablesList->addItems(names);
        if (TablesList->count() > 0)
            TablesList->setCurrentRow(0);
        OkBtn->setEnabled(TablesList->count() > 0);
    });
}

void TRelationPickerDlg::TablesListDblClick(QListWidgetItem *)
{
    if (OkBtn->isEnabled())
        OkBtn->click();
}

void TRelationPickerDlg::centreOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    adjustSize();
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}
