#include "workbench/TORepOptDlg.h"

#include "core/AppError.h"
#include "core/ProgramSettings.h"
#include "uikit/ApplicationTitle.h"
#include "uikit/Command.h"
#include "uikit/ModalForms.h"
#include "uikit/Prompts.h"
#include "workbench/RepositoryStore.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QChar kSeparator = QLatin1Char('/');

// A plain message with the application's title, shown like every modal form.
void showMessage(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, owner);
    ModalForms::exec(&box);
}

void confirmOrAbort(const QString &question)
{
    if (Prompts::instance().confirm(question, Prompts::Buttons::OkCancel) != Prompts::Answer::Ok)
        throw SilentAbort();
}

} // namespace

TORepOptDlg::TORepOptDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      Bevel1(new QFrame(this)),
      Label1(new QLabel(QStringLiteral("&Directory of object repository table"), Bevel1)),
      DirName(new QLineEdit(Bevel1)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Create/register Object repository table"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Label1->setBuddy(DirName);
    DirName->setMinimumWidth(320);

    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, Command::guard([this] { OKBtnClick(); }));
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto *bevelLayout = new QVBoxLayout(Bevel1);
    bevelLayout->addWidget(Label1);
    bevelLayout->addWidget(DirName);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(DirName, OKBtn);
    setTabOrder(OKBtn, CancelBtn);

    FormCreate();
}

void TORepOptDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DirName->setFocus();
}

TORepOptDlg &TORepOptDlg::shared()
{
    static QPointer<TORepOptDlg> dialog;
    if (!dialog) {
        dialog = new TORepOptDlg;
        if (qApp) {
            TORepOptDlg *created = dialog;
            QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp,
                             [created] { delete created; });
        }
    }
    return *dialog;
}

void TORepOptDlg::FormCreate()
{
    DirName->setText(ProgramSettings::instance().RepositoryPath);
}

void TORepOptDlg::OKBtnClick()
{
    QString dir = DirName->text();
    if (dir.isEmpty())
        throw GeneralError(QStringLiteral("Directory of object repository table is not given"));
    if (!dir.endsWith(kSeparator))
        dir += kSeparator;
    if (!QFileInfo(dir).isDir()) {
        confirmOrAbort(QStringLiteral("Directory '%1' not exists. Create it?").arg(dir));
        CreateDirectoryChain(dir);
    }
    if (QFileInfo::exists(dir + RepositoryStore::fileName())) {
        // Taken unread, another program's file would fail only at the next
        // start, in every repository window.
        RepositoryStore::checkFile(dir + RepositoryStore::fileName());
        ProgramSettings::instance().RepositoryPath = dir;
        showMessage(this, QStringLiteral("Restart program to keep changes"));
        accept();
        return;
    }
    // The root keeps its separator: without it the path would name no directory.
    if (dir.size() > 1)
        dir.chop(1);
    confirmOrAbort(QStringLiteral("Table 'DVSRC.DB' in directory not exists. Create It?"));
    RepositoryStore::createTable(dir);
    showMessage(this, QStringLiteral("Table created"));
    ProgramSettings::instance().RepositoryPath = dir;
    accept();
}

void CreateDirectoryChain(const QString &dir)
{
    QString path = dir;
    if (path.endsWith(kSeparator))
        path.chop(1);
    if (path.isEmpty() || QFileInfo(path).isDir())
        return;
    CreateDirectoryChain(path.left(path.lastIndexOf(kSeparator) + 1));
    QDir().mkdir(path);
}

void ShowRepositorySettings()
{
    ModalForms::exec(&TORepOptDlg::shared());
}
