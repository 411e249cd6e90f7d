#include "controls/TToolPanel.h"

#include "controls/TOfficeButton.h"

#include <QFrame>
#include <QHBoxLayout>

// The pictures are compiled into this static library; a resource in a static library must be
// registered by name, from outside any namespace.
static void initButtonPictures()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(buttons);
        return true;
    }();
    Q_UNUSED(loaded);
}

namespace {

constexpr int PanelMargin = 4;
constexpr int ButtonSpacing = 1;
constexpr int SeparatorWidth = 8;

} // namespace

TToolPanel::TToolPanel(QWidget *parent)
    : QWidget(parent)
{
    initButtonPictures();
    setFixedHeight(DefaultHeight);
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(PanelMargin, 0, PanelMargin, 0);
    m_layout->setSpacing(ButtonSpacing);
    m_layout->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QPixmap TToolPanel::picture(const QString &pictureName)
{
    initButtonPictures();
    QPixmap pixmap(QStringLiteral(":/buttons/%1.png").arg(pictureName));
    if (pixmap.isNull())
        qWarning("No tool button picture named \"%s\"", qPrintable(pictureName));
    return pixmap;
}

TOfficeButton *TToolPanel::newButton(const QString &pictureName, const QString &hint)
{
    auto *button = new TOfficeButton(this);
    button->setGlyph(picture(pictureName));
    button->setHint(hint);
    return button;
}

TOfficeButton *TToolPanel::addButton(const QString &pictureName, const QString &hint)
{
    TOfficeButton *button = newButton(pictureName, hint);
    button->setFixedSize(TOfficeButton::DefaultSize, TOfficeButton::DefaultSize);
    m_layout->addWidget(button, 0, Qt::AlignVCenter);
    return button;
}

TOfficeButton *TToolPanel::addCaptionButton(const QString &pictureName, const QString &caption,
                                            const QString &hint)
{
    TOfficeButton *button = newButton(pictureName, hint);
    button->setButtonLayout(OfficeButtonGeometry::blBitmapLeft);
    button->setCaption(caption);
    button->setFixedSize(button->sizeHint());
    m_layout->addWidget(button, 0, Qt::AlignVCenter);
    return button;
}

void TToolPanel::addSeparator()
{
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedSize(SeparatorWidth, TOfficeButton::DefaultSize);
    m_layout->addWidget(line, 0, Qt::AlignVCenter);
}

void TToolPanel::addWidget(QWidget *widget)
{
    m_layout->addWidget(widget, 0, Qt::AlignVCenter);
}

void TToolPanel::addStretch()
{
    m_layout->addStretch(1);
}
