#pragma once

#include <QPixmap>
#include <QWidget>

class QHBoxLayout;
class TOfficeButton;

// The tool bar across the top of every window: flat 24 by 24 buttons left to right, with
// separators, other controls and stretch between them, in a panel of fixed height.
class TToolPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DefaultHeight = 32;

    explicit TToolPanel(QWidget *parent = nullptr);

    // A picture-only button showing :/buttons/<pictureName>.png.
    TOfficeButton *addButton(const QString &pictureName, const QString &hint);
    // A button with its picture at the left of the caption, as wide as both need.
    TOfficeButton *addCaptionButton(const QString &pictureName, const QString &caption,
                                    const QString &hint);
    void addSeparator();
    void addWidget(QWidget *widget);
    void addStretch();

    // The picture of a tool button by its name (resources/buttons); a null pixmap (and a
    // warning) when unknown.
    static QPixmap picture(const QString &pictureName);

private:
    TOfficeButton *newButton(const QString &pictureName, const QString &hint);

    QHBoxLayout *m_layout = nullptr;
};
