#include "catalog/TPropertiesForm.h"

#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "core/AppError.h"
#include "core/BusyCursor.h"
#include "ibdb/DatabaseService.h"
#include "ibdb/DatabaseSettings.h"
#include "ibdb/ServerCall.h"
#include "ibdb/TDMSys.h"
#include "ibdb/TIBDataBase.h"
#include "uikit/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString parameter(const char *name)
{
    if (!DMSys || !DMSys->IBDataBase->Connected())
        throw GeneralError(QStringLiteral("Not connected to a database"));
    return DMSys->IBDataBase->param(QLatin1String(name));
}

DatabaseService service()
{
    return {parameter("SERVER NAME"), parameter("USER NAME"), parameter("PASSWORD")};
}

// Read-write first: a read-only database takes no other change.
void applyChanges(const DatabaseService &server, const DatabaseSettings &read,
                  const DatabaseSettings &wanted)
{
    if (!wanted.readOnly && read.readOnly)
        server.setReadOnly(false);
    if (wanted.sweepInterval != read.sweepInterval)
        server.setSweepInterval(wanted.sweepInterval);
    if (wanted.forcedWrites != read.forcedWrites)
        server.setForcedWrites(wanted.forcedWrites);
    if (wanted.pageBuffers != read.pageBuffers)
        server.setPageBuffers(wanted.pageBuffers);
    if (wanted.readOnly && !read.readOnly)
        server.setReadOnly(true);
}

QSpinBox *spin(QWidget *parent, const QString &name, int most)
{
    auto *edit = new QSpinBox(parent);
    edit->setObjectName(name);
    edit->setRange(0, most);
    return edit;
}

} // namespace

TPropertiesForm *TPropertiesForm::open()
{
    return openInFrame<TPropertiesForm>(&TPropertiesForm::RefreshBtnClick);
}

TPropertiesForm::TPropertiesForm(QWidget *parent) : TChildForm(parent)
{
    setWindowTitle(QStringLiteral("Database Properties"));
    createToolPanel();
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ComPanel);
    layout->addWidget(createSettings());
    layout->addWidget(createShutdown());
    layout->addStretch();
    resize(460, 420);
}

void TPropertiesForm::createToolPanel()
{
    ComPanel = new TToolPanel(this);
    RefreshBtn = ComPanel->addButton(QStringLiteral("refresh"),
                                     QStringLiteral("Reads the settings from the server again"));
    ApplyBtn = ComPanel->addCaptionButton(
        QStringLiteral("post"), QStringLiteral("&Apply"),
        QStringLiteral("Sends the changed settings to the server"));
    ComPanel->addStretch();
    onClick(RefreshBtn, [this] { RefreshBtnClick(); });
    onClick(ApplyBtn, [this] { ApplyBtnClick(); });
}

QWidget *TPropertiesForm::createSettings()
{
    auto *group = new QGroupBox(QStringLiteral("Settings"), this);
    auto *form = new QFormLayout(group);
    SweepIntervalEdit = spin(group, QStringLiteral("SweepIntervalEdit"), 2000000000);
    SweepIntervalEdit->setSpecialValueText(QStringLiteral("No automatic sweep"));
    ForcedWritesCheck = new QCheckBox(QStringLiteral("&Forced writes"), group);
    ForcedWritesCheck->setObjectName(QStringLiteral("ForcedWritesCheck"));
    PageBuffersEdit = spin(group, QStringLiteral("PageBuffersEdit"), 2000000000);
    ReadOnlyCheck = new QCheckBox(QStringLiteral("&Read-only"), group);
    ReadOnlyCheck->setObjectName(QStringLiteral("ReadOnlyCheck"));
    DialectLabel = new QLabel(group);
    DialectLabel->setObjectName(QStringLiteral("DialectLabel"));
    form->addRow(QStringLiteral("&Sweep interval:"), SweepIntervalEdit);
    form->addRow(QString(), ForcedWritesCheck);
    form->addRow(QStringLiteral("Page &buffers:"), PageBuffersEdit);
    form->addRow(QString(), ReadOnlyCheck);
    form->addRow(QStringLiteral("SQL dialect:"), DialectLabel);
    return group;
}

QWidget *TPropertiesForm::createShutdown()
{
    auto *group = new QGroupBox(QStringLiteral("Shutdown"), this);
    auto *form = new QFormLayout(group);
    ShutdownModeBox = new QComboBox(group);
    ShutdownModeBox->setObjectName(QStringLiteral("ShutdownModeBox"));
    ShutdownModeBox->addItems({QStringLiteral("Multi (owner and SYSDBA may attach)"),
                               QStringLiteral("Single (one attachment of SYSDBA)"),
                               QStringLiteral("Full (nobody may attach)")});
    ShutdownKindBox = new QComboBox(group);
    ShutdownKindBox->setObjectName(QStringLiteral("ShutdownKindBox"));
    ShutdownKindBox->addItems({QStringLiteral("Forced: end attachments after the wait"),
                               QStringLiteral("Attachments: refuse new ones, wait for the others"),
                               QStringLiteral("Transactions: refuse new ones, wait for them")});
    ShutdownWaitEdit = spin(group, QStringLiteral("ShutdownWaitEdit"), 86400);
    ShutdownWaitEdit->setSuffix(QStringLiteral(" s"));
    auto *buttons = new TToolPanel(group);
    ShutdownBtn = buttons->addCaptionButton(QStringLiteral("deactivate"),
                                            QStringLiteral("Shut &Down"),
                                            QStringLiteral("Shuts the database down"));
    OnlineBtn = buttons->addCaptionButton(QStringLiteral("activate"),
                                          QStringLiteral("Bring &Online"),
                                          QStringLiteral("Brings the database back online"));
    buttons->addStretch();
    form->addRow(QStringLiteral("&Into:"), ShutdownModeBox);
    form->addRow(QStringLiteral("&How:"), ShutdownKindBox);
    form->addRow(QStringLiteral("&Wait:"), ShutdownWaitEdit);
    form->addRow(buttons);
    onClick(ShutdownBtn, [this] { ShutdownBtnClick(); });
    onClick(OnlineBtn, [this] { OnlineBtnClick(); });
    return group;
}

void TPropertiesForm::showSettings(const DatabaseSettings &settings)
{
    m_read = settings;
    SweepIntervalEdit->setValue(int(settings.sweepInterval));
    ForcedWritesCheck->setChecked(settings.forcedWrites);
    PageBuffersEdit->setValue(int(settings.pageBuffers));
    ReadOnlyCheck->setChecked(settings.readOnly);
    DialectLabel->setText(QString::number(settings.dialect));
}

DatabaseSettings TPropertiesForm::editedSettings() const
{
    DatabaseSettings settings = m_read;
    settings.sweepInterval = quint32(SweepIntervalEdit->value());
    settings.forcedWrites = ForcedWritesCheck->isChecked();
    settings.pageBuffers = quint32(PageBuffersEdit->value());
    settings.readOnly = ReadOnlyCheck->isChecked();
    return settings;
}

void TPropertiesForm::RefreshBtnClick()
{
    const QString database = parameter("SERVER NAME");
    const QString user = parameter("USER NAME");
    const QString password = parameter("PASSWORD");
    const BusyCursor busy;
    DatabaseSettings settings;
    ServerCall::runAside([&] { settings = DatabaseSettings::read(database, user, password); });
    showSettings(settings);
}

void TPropertiesForm::ApplyBtnClick()
{
    const DatabaseService server = service();
    const DatabaseSettings wanted = editedSettings();
    {
        const BusyCursor busy;
        ServerCall::runAside([&] { applyChanges(server, m_read, wanted); });
    }
    RefreshBtnClick();
}

QString TPropertiesForm::shutdownQuestion(const QString &database)
{
    return QStringLiteral("Shut down the database %1?").arg(database);
}

void TPropertiesForm::ShutdownBtnClick()
{
    const DatabaseService server = service();
    if (Prompts::instance().confirm(shutdownQuestion(parameter("SERVER NAME")),
                                    Prompts::Buttons::OkCancel)
        != Prompts::Answer::Ok)
        throw SilentAbort();
    static const DatabaseService::Mode modes[] = {DatabaseService::Mode::Multi,
                                                  DatabaseService::Mode::Single,
                                                  DatabaseService::Mode::Full};
    static const DatabaseService::Shutdown kinds[] = {DatabaseService::Shutdown::Forced,
                                                      DatabaseService::Shutdown::Attachments,
                                                      DatabaseService::Shutdown::Transactions};
    const DatabaseService::Mode mode = modes[ShutdownModeBox->currentIndex()];
    const DatabaseService::Shutdown how = kinds[ShutdownKindBox->currentIndex()];
    const auto seconds = quint32(ShutdownWaitEdit->value());
    const BusyCursor busy;
    ServerCall::runAside([&] { server.shutDown(mode, how, seconds); });
}

void TPropertiesForm::OnlineBtnClick()
{
    const DatabaseService server = service();
    const BusyCursor busy;
    ServerCall::runAside([&] { server.bringOnline(); });
}
