#include "catalog/TAttachmentsForm.h"

#include "catalog/AdminWindow.h"
#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"
#include "controls/UpdatesSuspended.h"
#include "core/AppError.h"
#include "ibdb/BoundQuery.h"
#include "ibdb/ServerCall.h"
#include "uikit/Command.h"
#include "uikit/Prompts.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kIdRole = Qt::UserRole;

QString cellText(const QVariant &value)
{
    if (value.isNull())
        return QString();
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return value.toString();
}

QTreeWidgetItem *rowItem(const MonitorSnapshot::Row &row, const QString &mark)
{
    QStringList texts{mark};
    for (const QVariant &value : row.values)
        texts << cellText(value);
    auto *item = new QTreeWidgetItem(texts);
    item->setData(0, kIdRole, row.id);
    return item;
}

void fill(QTreeWidget *list, const QList<MonitorSnapshot::Row> &rows,
          const std::function<QString(const MonitorSnapshot::Row &)> &mark)
{
    const UpdatesSuspended suspended({list});
    list->clear();
    for (const MonitorSnapshot::Row &row : rows)
        list->addTopLevelItem(rowItem(row, mark(row)));
}

bool select(QTreeWidget *list, qint64 id)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = list->topLevelItem(i);
        if (item->data(0, kIdRole).toLongLong() == id) {
            list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

qint64 currentId(const QTreeWidget *list)
{
    const QTreeWidgetItem *item = list->currentItem();
    return item ? item->data(0, kIdRole).toLongLong() : 0;
}

using AdminWindow::connection;

} // namespace

TAttachmentsForm *TAttachmentsForm::open()
{
    return openInFrame<TAttachmentsForm>(&TAttachmentsForm::FormCreate);
}

TAttachmentsForm::TAttachmentsForm(QWidget *parent) : TChildForm(parent), m_timer(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Attachments"));
    createToolPanel();
    createMenu();
    CountersLabel = new QLabel(this);
    CountersLabel->setObjectName(QStringLiteral("CountersLabel"));
    CountersLabel->setContentsMargins(4, 2, 4, 2);
    LimitedLabel = new QLabel(limitedViewText(), this);
    LimitedLabel->setObjectName(QStringLiteral("LimitedLabel"));
    LimitedLabel->setContentsMargins(4, 2, 4, 2);
    LimitedLabel->setVisible(false);
    AttachmentList = AdminWindow::createList(this, QStringLiteral("Attachments"),
                                QStringList{QStringLiteral("Own")}
                                    + MonitorSnapshot::attachmentColumns());
    TransactionList = AdminWindow::createList(this, QStringLiteral("Transactions"),
                                 QStringList{QStringLiteral("Oldest active")}
                                     + MonitorSnapshot::transactionColumns());
    StatementList = AdminWindow::createList(this, QStringLiteral("Statements"),
                               QStringList{QString()} + MonitorSnapshot::statementColumns());
    auto *splitter = new QSplitter(Qt::Vertical, this);
    for (QTreeWidget *list : {AttachmentList, TransactionList, StatementList})
        splitter->addWidget(list);
    QVBoxLayout *layout = createPanelLayout();
    layout->addWidget(ComPanel);
    layout->addWidget(CountersLabel);
    layout->addWidget(LimitedLabel);
    layout->addWidget(splitter);
    connect(AttachmentList, &QTreeWidget::currentItemChanged, this,
            Command::guard([this] { showAttachmentDetails(); }));
    connect(StatementList, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });
    connect(m_timer, &QTimer::timeout, this, [this] { timerRefresh(); });
    updateButtons();
    resize(720, 460);
}

void TAttachmentsForm::createToolPanel()
{
    ComPanel = new TToolPanel(this);
    RefreshBtn = ComPanel->addButton(QStringLiteral("refresh"),
                                     QStringLiteral("Refresh attachments"));
    CancelStatementBtn = ComPanel->addCaptionButton(
        QStringLiteral("cancel"), QStringLiteral("Cancel &Statement"),
        QStringLiteral("Cancels the selected statement of another attachment"));
    DisconnectBtn = ComPanel->addCaptionButton(
        QStringLiteral("remove"), QStringLiteral("&Disconnect Attachment"),
        QStringLiteral("Disconnects the selected attachment from the database"));
    ComPanel->addSeparator();
    ComPanel->addWidget(new QLabel(QStringLiteral(" Refresh every "), ComPanel));
    RefreshEvery = new QSpinBox(ComPanel);
    RefreshEvery->setObjectName(QStringLiteral("RefreshEvery"));
    RefreshEvery->setAccessibleName(QStringLiteral("Refresh every"));
    RefreshEvery->setRange(0, 3600);
    RefreshEvery->setSuffix(QStringLiteral(" s"));
    RefreshEvery->setSpecialValueText(QStringLiteral("Off"));
    ComPanel->addWidget(RefreshEvery);
    ComPanel->addStretch();
    onClick(RefreshBtn, [this] { RefreshBtnClick(); });
    onClick(CancelStatementBtn, [this] { CancelStatementBtnClick(); });
    onClick(DisconnectBtn, [this] { DisconnectBtnClick(); });
    connect(RefreshEvery, &QSpinBox::valueChanged, this, [this](int s) { periodChanged(s); });
}

void TAttachmentsForm::createMenu()
{
    QMenu *menu = createFormMenu(QStringLiteral("&Attachments"));
    Command::addAction(
        menu, QStringLiteral("&Refresh"), QStringLiteral("Refresh attachments"),
        [this] { RefreshBtnClick(); }, QKeySequence(Qt::Key_F5));
    Command::addAction(menu, QStringLiteral("Cancel &Statement"),
                       QStringLiteral("Cancels the selected statement of another attachment"),
                       [this] { CancelStatementBtnClick(); });
    Command::addAction(menu, QStringLiteral("&Disconnect Attachment"),
                       QStringLiteral("Disconnects the selected attachment from the database"),
                       [this] { DisconnectBtnClick(); });
}

QString TAttachmentsForm::limitedViewText()
{
    return QStringLiteral("Only your own attachments are shown: the server shows other "
                          "users' attachments to administrators and the database owner.");
}

QString TAttachmentsForm::countersText(const IbTransactionCounters &counters)
{
    return QStringLiteral("Oldest interesting %1   Oldest active %2   Oldest snapshot %3   "
                          "Next %4   Gap %5")
        .arg(counters.oldestInteresting)
        .arg(counters.oldestActive)
        .arg(counters.oldestSnapshot)
        .arg(counters.next)
        .arg(counters.gap());
}

QString TAttachmentsForm::cancelQuestion(const MonitorSnapshot::Row &statement)
{
    return QStringLiteral("Cancel statement %1 of user %2 (attachment %3)?")
        .arg(statement.id)
        .arg(statement.user)
        .arg(statement.attachmentId);
}

QString TAttachmentsForm::disconnectQuestion(const MonitorSnapshot::Row &attachment)
{
    return QStringLiteral("Disconnect attachment %1 of user %2?")
        .arg(attachment.id)
        .arg(attachment.user);
}

void TAttachmentsForm::FormCreate()
{
    RefreshBtnClick();
}

void TAttachmentsForm::RefreshBtnClick()
{
    m_snapshot = MonitorSnapshot::read(connection());
    showSnapshot();
}

void TAttachmentsForm::showSnapshot()
{
    const qint64 selected = selectedAttachment();
    CountersLabel->setText(countersText(m_snapshot.counters));
    LimitedLabel->setVisible(!m_snapshot.seesAll);
    const qint64 own = m_snapshot.ownAttachment;
    fill(AttachmentList, m_snapshot.attachments, [own](const MonitorSnapshot::Row &row) {
        return row.id == own ? QStringLiteral("Yes") : QString();
    });
    if (!select(AttachmentList, selected))
        select(AttachmentList, own);
    showAttachmentDetails();
}

void TAttachmentsForm::showAttachmentDetails()
{
    const qint64 attachment = selectedAttachment();
    const qint64 oldest = m_snapshot.counters.oldestActive;
    fill(TransactionList, m_snapshot.transactionsOf(attachment),
         [oldest](const MonitorSnapshot::Row &row) {
             return row.id == oldest ? QStringLiteral("Yes") : QString();
         });
    fill(StatementList, m_snapshot.statementsOf(attachment),
         [](const MonitorSnapshot::Row &) { return QString(); });
    updateButtons();
}

qint64 TAttachmentsForm::selectedAttachment() const
{
    return currentId(AttachmentList);
}

const MonitorSnapshot::Row *TAttachmentsForm::selectedStatement() const
{
    const qint64 id = currentId(StatementList);
    for (const MonitorSnapshot::Row &row : m_snapshot.statements) {
        if (row.id == id && StatementList->currentItem())
            return &row;
    }
    return nullptr;
}

bool TAttachmentsForm::selectAttachment(qint64 id)
{
    return select(AttachmentList, id);
}

bool TAttachmentsForm::selectStatement(qint64 id)
{
    return select(StatementList, id);
}

void TAttachmentsForm::updateButtons()
{
    const qint64 attachment = selectedAttachment();
    const bool other = attachment != 0 && attachment != m_snapshot.ownAttachment;
    DisconnectBtn->setEnabled(other);
    CancelStatementBtn->setEnabled(other && StatementList->currentItem());
}

void TAttachmentsForm::CancelStatementBtnClick()
{
    const MonitorSnapshot::Row *statement = selectedStatement();
    if (!statement)
        return;
    if (statement->attachmentId == m_snapshot.ownAttachment)
        throw GeneralError(
            QStringLiteral("The statements of your own attachment are not cancelled from here"));
    if (Prompts::instance().confirm(cancelQuestion(*statement), Prompts::Buttons::OkCancel)
        != Prompts::Answer::Ok)
        throw SilentAbort();
    BoundQuery::run(connection(), QStringLiteral("DELETE FROM MON$STATEMENTS WHERE MON$STATEMENT_ID = :ID"),
                    {{QStringLiteral("ID"), statement->id}});
    RefreshBtnClick();
}

void TAttachmentsForm::DisconnectBtnClick()
{
    const MonitorSnapshot::Row *attachment = m_snapshot.attachment(selectedAttachment());
    if (!attachment)
        return;
    if (attachment->id == m_snapshot.ownAttachment)
        throw GeneralError(QStringLiteral("Your own attachment cannot be disconnected from here"));
    if (Prompts::instance().confirm(disconnectQuestion(*attachment), Prompts::Buttons::OkCancel)
        != Prompts::Answer::Ok)
        throw SilentAbort();
    BoundQuery::run(connection(),
                    QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = :ID"),
                    {{QStringLiteral("ID"), attachment->id}});
    RefreshBtnClick();
}

void TAttachmentsForm::periodChanged(int seconds)
{
    if (seconds == 0)
        m_timer->stop();
    else
        m_timer->start(seconds * 1000);
}

void TAttachmentsForm::timerRefresh()
{
    // Timers fire while another command waits on the server, and one
    // attachment takes one call at a time; a window hidden behind a modal
    // box waits for the next tick too.
    if (ServerCall::waiting() || QApplication::activeModalWidget())
        return;
    bool failed = true;
    Command::run([&] {
        RefreshBtnClick();
        failed = false;
    });
    // One error box, not one every period, when the server stops answering.
    if (failed)
        RefreshEvery->setValue(0);
}
