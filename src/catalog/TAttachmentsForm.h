#pragma once

#include "schema/MonitorSnapshot.h"
#include "uikit/TChildForm.h"

class QLabel;
class QSpinBox;
class QTimer;
class QTreeWidget;
class TOfficeButton;
class TToolPanel;

// Who is in the database now: the attachments the server shows this user,
// the selected one's transactions and statements with their I/O, and the
// header's transaction markers. Refreshed on request and, when the user sets
// a period, by a timer; cancels another attachment's statement and
// disconnects another attachment after asking.
class TAttachmentsForm : public TChildForm
{
    Q_OBJECT

public:
    static TAttachmentsForm *open();

    explicit TAttachmentsForm(QWidget *parent = nullptr);

    static QString cancelQuestion(const MonitorSnapshot::Row &statement);
    static QString disconnectQuestion(const MonitorSnapshot::Row &attachment);
    static QString limitedViewText();
    static QString countersText(const IbTransactionCounters &counters);

    void RefreshBtnClick();
    void CancelStatementBtnClick();
    void DisconnectBtnClick();
    // Selects the attachment's row; false when it is not listed.
    bool selectAttachment(qint64 id);
    bool selectStatement(qint64 id);
    const MonitorSnapshot &snapshot() const { return m_snapshot; }

    TToolPanel *ComPanel;
    TOfficeButton *RefreshBtn;
    TOfficeButton *CancelStatementBtn;
    TOfficeButton *DisconnectBtn;
    QSpinBox *RefreshEvery;
    QLabel *CountersLabel;
    QLabel *LimitedLabel;
    QTreeWidget *AttachmentList;
    QTreeWidget *TransactionList;
    QTreeWidget *StatementList;

private:
    void createToolPanel();
    void createMenu();
    void FormCreate();
    void showSnapshot();
    void showAttachmentDetails();
    void timerRefresh();
    void periodChanged(int seconds);
    qint64 selectedAttachment() const;
    const MonitorSnapshot::Row *selectedStatement() const;
    void updateButtons();

    MonitorSnapshot m_snapshot;
    QTimer *m_timer;
};
