#pragma once

#include <QDialog>

// "About": the product name and version, closed with OK.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // The one about box of the run, created at start-up.
    static TAboutBox &shared();
};
