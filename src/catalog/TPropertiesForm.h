#pragma once

#include "ibdb/DatabaseSettings.h"
#include "uikit/TChildForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class TOfficeButton;
class TToolPanel;

// Database > Properties…: the connected database's settings as its server
// has them (sweep interval, forced writes, page buffers, read-only, the
// SQL dialect shown), changed through the server's services; and its
// shutdown (forced, attachments or transactions; into multi, single or
// full) and bringing it online again.
class TPropertiesForm : public TChildForm
{
    Q_OBJECT

public:
    static TPropertiesForm *open();
    explicit TPropertiesForm(QWidget *parent = nullptr);

    void RefreshBtnClick();
    // Sends only what differs from what was read.
    void ApplyBtnClick();
    void ShutdownBtnClick();
    void OnlineBtnClick();
    static QString shutdownQuestion(const QString &database);

    TToolPanel *ComPanel;
    TOfficeButton *RefreshBtn;
    TOfficeButton *ApplyBtn;
    QSpinBox *SweepIntervalEdit;
    QCheckBox *ForcedWritesCheck;
    QSpinBox *PageBuffersEdit;
    QCheckBox *ReadOnlyCheck;
    QLabel *DialectLabel;
    QComboBox *ShutdownModeBox;
    QComboBox *ShutdownKindBox;
    QSpinBox *ShutdownWaitEdit;
    TOfficeButton *ShutdownBtn;
    TOfficeButton *OnlineBtn;

private:
    void createToolPanel();
    QWidget *createSettings();
    QWidget *createShutdown();
    void showSettings(const DatabaseSettings &settings);
    DatabaseSettings editedSettings() const;

    // As last read from the server.
    DatabaseSettings m_read;
};
