#pragma once

#include <QString>

// What the data module changes on the frame when the tool's transaction
// starts and ends; the frame implements it, so this layer needs no widgets.
class TransactionView
{
public:
    virtual ~TransactionView() = default;
    virtual void setCommitItemsEnabled(bool enabled) = 0;
    virtual void setTransactionPanel(const QString &text) = 0;
    // The attachment is gone: the frame shows it disconnected and tells the user.
    virtual void showConnectionLost(const QString &message) = 0;
};
