#pragma once

#include "controls/ButtonPicture.h"
#include "controls/OfficeButtonGeometry.h"

#include <QBitmap>
#include <QColor>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

// The flat button of every tool bar: a picture (grey until the mouse rests on it) and an
// optional caption drawn straight on the face, a thin bevel while hovered or pressed, toggle
// groups among the buttons of one parent, an optional drop-down menu and an embossed face
// while disabled. Pictures are keyed: the colour of pixel (0, 0) is left out when drawn.
class TOfficeButton : public QWidget
{
    Q_OBJECT

public:
    enum BevelStyle { bsLowered, bsRaised };
    enum ButtonOption {
        boMonoDisplay = 0x1,
        boIconOnly = 0x2,
        boPopupMark = 0x4,
        boShowBevel = 0x8,
    };
    Q_DECLARE_FLAGS(ButtonOptions, ButtonOption)

    using ButtonLayout = OfficeButtonGeometry::ButtonLayout;
    using CaptionAlignment = OfficeButtonGeometry::CaptionAlignment;
    using ShadingType = ButtonPicture::ShadingType;

    static constexpr int DefaultSize = 24;

    explicit TOfficeButton(QWidget *parent = nullptr);
    ~TOfficeButton() override;

    // Pictures: the glyph itself, the one shown instead of the grey image while the mouse is
    // elsewhere, and the one shown instead of the embossed glyph while disabled.
    void setGlyph(const QPixmap &glyph);
    QPixmap glyph() const { return m_glyph; }
    void setNoFocusGlyph(const QPixmap &glyph);
    QPixmap noFocusGlyph() const { return m_noFocusGlyph; }
    void setDisabledGlyph(const QPixmap &glyph);
    QPixmap disabledGlyph() const { return m_disabledGlyph; }
    // The grey image made from the glyph by the shading type (empty while a no-focus glyph
    // is set).
    QImage greyImage() const { return m_greyImage; }

    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }
    // The hint is the tool tip, the status-bar text and the accessible name alike.
    void setHint(const QString &hint);
    QString hint() const { return m_hint; }
    void setShowHint(bool show) { m_showHint = show; }
    bool showHint() const { return m_showHint; }

    void setDown(bool down);
    bool down() const { return m_down; }
    void setGroupIndex(int index);
    int groupIndex() const { return m_groupIndex; }
    void setAllowAllUp(bool allow);
    bool allowAllUp() const { return m_allowAllUp; }

    void setDropDownMenu(QMenu *menu);
    QMenu *dropDownMenu() const { return m_dropDownMenu; }
    // The context menu of the right mouse button.
    void setPopupMenu(QMenu *menu);
    QMenu *popupMenu() const { return m_popupMenu; }

    void setAlignment(CaptionAlignment alignment);
    CaptionAlignment alignment() const { return m_alignment; }
    void setBevelStyle(BevelStyle style);
    BevelStyle bevelStyle() const { return m_bevelStyle; }
    void setButtonLayout(ButtonLayout layout);
    ButtonLayout buttonLayout() const { return m_layout; }
    void setOptions(ButtonOptions options);
    ButtonOptions options() const { return m_options; }
    void setShadingType(ShadingType type);
    ShadingType shadingType() const { return m_shadingType; }
    void setShowDownPattern(bool show);
    bool showDownPattern() const { return m_showDownPattern; }
    // An invalid colour stands for the system's window-text colour.
    void setUnselectedFontColor(const QColor &color);
    QColor unselectedFontColor() const;
    void setWordWrap(bool wrap);
    bool wordWrap() const { return m_wordWrap; }

    bool isHot() const { return m_hot; }
    bool isPressed() const { return m_pressed; }

    // Where picture and caption stand on the face at the button's present size.
    OfficeButtonGeometry::FaceLayout faceLayout() const;

    // A press and a release as the caption's accelerator key performs them.
    void click();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();
    void entered();
    void exited();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    enum class FaceCase { Disabled, Pressed, Flat };

    void press();
    void release(bool cursorInside);
    void setHot(bool hot);
    void finishDropDown();
    void cancelMouseState();
    bool cursorInside() const;
    bool windowHasPopupMenu() const;
    bool captionCounts() const;
    bool markShown() const;
    QList<TOfficeButton *> groupSiblings() const;
    void raiseOthersInGroup();
    void updateShortcut();
    void updateAccessibleName();
    void rebuildPictures();

    FaceCase faceCase() const;
    void paintFace(QPainter &painter) const;
    void paintBackground(QPainter &painter) const;
    void paintBevel(QPainter &painter, bool sunken) const;
    void paintDisabled(QPainter &painter, const OfficeButtonGeometry::FaceLayout &face) const;
    void paintPressed(QPainter &painter, const OfficeButtonGeometry::FaceLayout &face) const;
    void paintFlat(QPainter &painter, const OfficeButtonGeometry::FaceLayout &face) const;
    void paintCaption(QPainter &painter, QRect rect, const QColor &color) const;
    void paintMark(QPainter &painter, const OfficeButtonGeometry::FaceLayout &face,
                   const QColor &color, bool pressedLook) const;
    QColor highlightColor() const;
    QColor shadowColor() const;

    QPixmap m_glyph;
    QPixmap m_noFocusGlyph;
    QPixmap m_disabledGlyph;
    QImage m_greyImage;
    // Keyed copies (key colour made transparent) and the emboss shape, made when a picture
    // changes so that painting only copies them.
    QPixmap m_glyphKeyed;
    QPixmap m_greyKeyed;
    QPixmap m_noFocusKeyed;
    QPixmap m_disabledKeyed;
    QBitmap m_embossMask;

    QString m_caption;
    QString m_hint;
    QColor m_unselectedFontColor;
    QPointer<QMenu> m_dropDownMenu;
    QPointer<QMenu> m_popupMenu;
    CaptionAlignment m_alignment = OfficeButtonGeometry::taCenter;
    BevelStyle m_bevelStyle = bsRaised;
    ButtonLayout m_layout = OfficeButtonGeometry::blBitmapTop;
    ButtonOptions m_options = ButtonOptions(boMonoDisplay | boPopupMark | boShowBevel);
    ShadingType m_shadingType = ButtonPicture::stMedium;
    int m_groupIndex = 0;
    int m_shortcutId = 0;
    bool m_allowAllUp = false;
    bool m_down = false;
    bool m_showDownPattern = true;
    bool m_wordWrap = false;
    bool m_showHint = true;
    bool m_hot = false;
    bool m_pressed = false;
    bool m_swallowMouse = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TOfficeButton::ButtonOptions)
