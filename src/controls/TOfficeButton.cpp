#include "controls/TOfficeButton.h"

#include "controls/OfficeButtonAccessible.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QCursor>
#include <QEnterEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace Geometry = OfficeButtonGeometry;

namespace {

// One checkerboard serves every button held down; it is made again after any button goes
// away, so a palette change reaches it at the latest then.
QPixmap &sharedDownPattern()
{
    static QPixmap pattern;
    return pattern;
}

const QPixmap &downPattern(const QPalette &palette)
{
    QPixmap &pattern = sharedDownPattern();
    if (pattern.isNull()) {
        pattern = QPixmap::fromImage(Geometry::downPattern(
            palette.color(QPalette::Button).rgb(), palette.color(QPalette::Light).rgb()));
    }
    return pattern;
}

QPixmap keyedPixmap(const QPixmap &picture)
{
    if (picture.isNull())
        return {};
    return QPixmap::fromImage(ButtonPicture::keyedOut(picture.toImage()));
}

void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(&OfficeButtonAccessible::create);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

TOfficeButton::TOfficeButton(QWidget *parent)
    : QWidget(parent)
{
    installAccessibleFactory();
    resize(DefaultSize, DefaultSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

TOfficeButton::~TOfficeButton()
{
    sharedDownPattern() = QPixmap();
}

void TOfficeButton::setGlyph(const QPixmap &glyph)
{
    m_glyph = glyph;
    rebuildPictures();
    updateGeometry();
    update();
}

void TOfficeButton::setNoFocusGlyph(const QPixmap &glyph)
{
    m_noFocusGlyph = glyph;
    rebuildPictures();
    update();
}

void TOfficeButton::setDisabledGlyph(const QPixmap &glyph)
{
    m_disabledGlyph = glyph;
    m_disabledKeyed = keyedPixmap(glyph);
    update();
}

void TOfficeButton::rebuildPictures()
{
    m_glyphKeyed = keyedPixmap(m_glyph);
    m_noFocusKeyed = keyedPixmap(m_noFocusGlyph);
    const QImage picture = m_glyph.toImage();
    m_embossMask = QBitmap::fromImage(ButtonPicture::embossMask(picture));
    if (m_noFocusGlyph.isNull() && !picture.isNull()) {
        m_greyImage = ButtonPicture::greyImage(picture, m_shadingType, highlightColor().rgb(),
                                               shadowColor().rgb());
    } else {
        m_greyImage = QImage();
    }
    m_greyKeyed = m_greyImage.isNull() ? QPixmap()
                                       : QPixmap::fromImage(ButtonPicture::keyedOut(m_greyImage));
}

void TOfficeButton::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    updateShortcut();
    updateGeometry();
    if (m_options & boIconOnly)
        setHint(Geometry::withoutAccelerators(caption));
    else
        updateAccessibleName();
    update();
}

void TOfficeButton::setHint(const QString &hint)
{
    m_hint = hint;
    setToolTip(hint);
    setStatusTip(hint);
    updateAccessibleName();
}

void TOfficeButton::updateAccessibleName()
{
    setAccessibleName(m_hint.isEmpty() ? Geometry::withoutAccelerators(m_caption) : m_hint);
}

void TOfficeButton::updateShortcut()
{
    if (m_shortcutId != 0)
        releaseShortcut(m_shortcutId);
    m_shortcutId = 0;
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (!key.isEmpty())
        m_shortcutId = grabShortcut(key);
}

QList<TOfficeButton *> TOfficeButton::groupSiblings() const
{
    QList<TOfficeButton *> siblings;
    if (!parentWidget() || m_groupIndex == 0)
        return siblings;
    const auto buttons =
        parentWidget()->findChildren<TOfficeButton *>(Qt::FindDirectChildrenOnly);
    for (TOfficeButton *button : buttons) {
        if (button != this && button->m_groupIndex == m_groupIndex)
            siblings.append(button);
    }
    return siblings;
}

void TOfficeButton::raiseOthersInGroup()
{
    for (TOfficeButton *button : groupSiblings()) {
        if (button->m_down) {
            button->m_down = false;
            button->update();
        }
    }
}

void TOfficeButton::setDown(bool down)
{
    if (down == m_down || m_groupIndex == 0)
        return;
    m_down = down;
    update();
    if (down)
        raiseOthersInGroup();
}

void TOfficeButton::setGroupIndex(int index)
{
    m_groupIndex = index;
    if (index == 0 && m_down) {
        m_down = false;
        update();
    }
}

void TOfficeButton::setAllowAllUp(bool allow)
{
    m_allowAllUp = allow;
    for (TOfficeButton *button : groupSiblings())
        button->m_allowAllUp = allow;
}

void TOfficeButton::setDropDownMenu(QMenu *menu)
{
    if (m_dropDownMenu)
        disconnect(m_dropDownMenu, nullptr, this, nullptr);
    m_dropDownMenu = menu;
    if (menu) {
        connect(menu, &QMenu::aboutToHide, this, [this] {
            // The click that closed the menu must not open it again.
            m_swallowMouse = true;
            QTimer::singleShot(0, this, &TOfficeButton::finishDropDown);
        });
    }
    updateGeometry();
    if (m_options & boPopupMark)
        update();
}

void TOfficeButton::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
}

void TOfficeButton::setAlignment(CaptionAlignment alignment)
{
    m_alignment = alignment;
    update();
}

void TOfficeButton::setBevelStyle(BevelStyle style)
{
    m_bevelStyle = style;
    update();
}

void TOfficeButton::setButtonLayout(ButtonLayout layout)
{
    m_layout = layout;
    updateGeometry();
    update();
}

void TOfficeButton::setOptions(ButtonOptions options)
{
    const bool wasIconOnly = m_options.testFlag(boIconOnly);
    m_options = options;
    const QString plain = Geometry::withoutAccelerators(m_caption);
    if (options.testFlag(boIconOnly) && m_hint.isEmpty()) {
        setHint(plain);
        m_showHint = true;
    } else if (wasIconOnly && !options.testFlag(boIconOnly) && m_hint == plain) {
        setHint(QString());
        m_showHint = false;
    }
    updateGeometry();
    update();
}

void TOfficeButton::setShadingType(ShadingType type)
{
    m_shadingType = type;
    rebuildPictures();
    update();
}

void TOfficeButton::setShowDownPattern(bool show)
{
    m_showDownPattern = show;
    update();
}

void TOfficeButton::setUnselectedFontColor(const QColor &color)
{
    m_unselectedFontColor = color;
    update();
}

QColor TOfficeButton::unselectedFontColor() const
{
    return m_unselectedFontColor.isValid() ? m_unselectedFontColor
                                           : palette().color(QPalette::WindowText);
}

void TOfficeButton::setWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    updateGeometry();
    update();
}

bool TOfficeButton::captionCounts() const
{
    return !m_options.testFlag(boIconOnly) && !m_caption.isEmpty();
}

bool TOfficeButton::markShown() const
{
    return m_options.testFlag(boPopupMark) && m_dropDownMenu;
}

Geometry::FaceLayout TOfficeButton::faceLayout() const
{
    Geometry::FaceInput in;
    in.button = size();
    in.picture = m_glyph.size();
    in.captionCounts = captionCounts();
    if (in.captionCounts) {
        in.caption = Geometry::measureCaption(fontMetrics(), m_caption, width(), m_alignment,
                                              m_wordWrap);
    }
    in.markShown = markShown();
    in.layout = m_layout;
    in.alignment = m_alignment;
    in.wordWrap = m_wordWrap;
    return Geometry::placeFace(in);
}

QSize TOfficeButton::sizeHint() const
{
    QSize hint(DefaultSize, DefaultSize);
    if (!captionCounts())
        return hint;
    const int markRoom = markShown() ? Geometry::MarkRoom : 0;
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, m_caption);
    const QSize picture = m_glyph.size();
    const int gap = picture.isEmpty() ? 0 : Geometry::CaptionGap;
    const bool sideBySide = m_layout == Geometry::blBitmapLeft
        || m_layout == Geometry::blBitmapRight;
    if (sideBySide) {
        hint = hint.expandedTo(QSize(picture.width() + markRoom + gap + text.width() + 8,
                                     std::max(picture.height(), text.height()) + 6));
    } else {
        hint = hint.expandedTo(QSize(std::max(picture.width() + markRoom, text.width()) + 8,
                                     picture.height() + gap + text.height() + 6));
    }
    return hint;
}

QSize TOfficeButton::minimumSizeHint() const
{
    return sizeHint();
}

bool TOfficeButton::cursorInside() const
{
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

void TOfficeButton::setHot(bool hot)
{
    if (hot == m_hot)
        return;
    m_hot = hot;
    if (!m_down && isEnabled())
        update();
    if (hot)
        emit entered();
    else
        emit exited();
}

void TOfficeButton::press()
{
    if (!isEnabled() || !isVisible())
        return;
    m_pressed = true;
    m_hot = true;
    repaint();
    if (m_dropDownMenu)
        m_dropDownMenu->popup(mapToGlobal(QPoint(0, height())));
}

void TOfficeButton::release(bool inside)
{
    if (!isEnabled() || !isVisible() || !m_pressed)
        return;
    m_pressed = false;
    if (m_hot && m_groupIndex != 0) {
        if (!m_down) {
            raiseOthersInGroup();
            m_down = true;
        } else if (m_allowAllUp) {
            m_down = false;
        }
    }
    if (!m_hot) {
        update();
        return;
    }
    if (!inside)
        m_hot = false;
    update();
    if (!m_dropDownMenu)
        emit clicked();
}

void TOfficeButton::cancelMouseState()
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    if (!cursorInside())
        m_hot = false;
    m_pressed = false;
    update();
}

void TOfficeButton::finishDropDown()
{
    m_swallowMouse = false;
    cancelMouseState();
}

void TOfficeButton::click()
{
    if (!isEnabled() || !isVisible())
        return;
    const QPointer<TOfficeButton> guard(this);
    m_hot = true;
    m_pressed = false;
    repaint();
    press();
    if (m_dropDownMenu)
        return; // closing the menu ends the press
    release(true);
    if (guard && !cursorInside()) {
        m_hot = false;
        update();
    }
}

bool TOfficeButton::windowHasPopupMenu() const
{
    for (const QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        const Qt::ContextMenuPolicy policy = w->contextMenuPolicy();
        if (policy == Qt::CustomContextMenu
            || (policy == Qt::ActionsContextMenu && !w->actions().isEmpty())) {
            return true;
        }
        if (w->isWindow())
            break;
    }
    return false;
}

bool TOfficeButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent *>(event)->shortcutId() == m_shortcutId) {
            click();
            return true;
        }
        break;
    case QEvent::ToolTip:
        if (!m_showHint)
            return true;
        break;
    case QEvent::PaletteChange:
        rebuildPictures();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TOfficeButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_swallowMouse) {
        QWidget::mousePressEvent(event);
        return;
    }
    press();
}

void TOfficeButton::mouseMoveEvent(QMouseEvent *event)
{
    // While the button is held Qt keeps the mouse here and sends no leave or enter, so the
    // pointer's place decides whether the button is still under it.
    if (m_pressed)
        setHot(rect().contains(event->position().toPoint()));
    QWidget::mouseMoveEvent(event);
}

void TOfficeButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        QWidget::mouseReleaseEvent(event);
        if (m_popupMenu || windowHasPopupMenu())
            cancelMouseState();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    release(rect().contains(event->position().toPoint()));
}

void TOfficeButton::enterEvent(QEnterEvent *event)
{
    setHot(true);
    QWidget::enterEvent(event);
}

void TOfficeButton::leaveEvent(QEvent *event)
{
    setHot(false);
    QWidget::leaveEvent(event);
}

void TOfficeButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        m_pressed = false;
        m_hot = false;
        if (m_groupIndex == 0)
            m_down = false;
        update();
    }
    QWidget::changeEvent(event);
}

void TOfficeButton::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_popupMenu) {
        event->ignore();
        return;
    }
    m_popupMenu->popup(event->globalPos());
}

QColor TOfficeButton::highlightColor() const
{
    return palette().color(QPalette::Light);
}

QColor TOfficeButton::shadowColor() const
{
    return palette().color(QPalette::Dark);
}

TOfficeButton::FaceCase TOfficeButton::faceCase() const
{
    if (!isEnabled())
        return FaceCase::Disabled;
    if ((m_pressed && m_hot) || m_down)
        return FaceCase::Pressed;
    return FaceCase::Flat;
}

void TOfficeButton::paintEvent(QPaintEvent *)
{
    // The face is composed off-screen and shown in one copy, so no half-drawn state flickers.
    const qreal ratio = devicePixelRatioF();
    QPixmap face(size() * ratio);
    face.setDevicePixelRatio(ratio);
    {
        QPainter painter(&face);
        paintFace(painter);
    }
    QPainter(this).drawPixmap(0, 0, face);
}

void TOfficeButton::paintFace(QPainter &painter) const
{
    paintBackground(painter);
    const Geometry::FaceLayout face = faceLayout();
    switch (faceCase()) {
    case FaceCase::Disabled:
        paintDisabled(painter, face);
        break;
    case FaceCase::Pressed:
        paintPressed(painter, face);
        break;
    case FaceCase::Flat:
        paintFlat(painter, face);
        break;
    }
}

void TOfficeButton::paintBackground(QPainter &painter) const
{
    if (m_down && m_showDownPattern)
        painter.fillRect(rect(), QBrush(downPattern(palette())));
    else
        painter.fillRect(rect(), palette().color(QPalette::Button));
}

void TOfficeButton::paintBevel(QPainter &painter, bool sunken) const
{
    if (!m_options.testFlag(boShowBevel))
        return;
    const bool highlightFirst = (m_bevelStyle == bsRaised) != sunken;
    const QColor first = highlightFirst ? highlightColor() : shadowColor();
    const QColor second = highlightFirst ? shadowColor() : highlightColor();
    const Geometry::BevelStrokes strokes = Geometry::bevelStrokes(size());
    painter.setPen(first);
    painter.drawPoints(strokes.first.constData(), int(strokes.first.size()));
    painter.setPen(second);
    painter.drawPoints(strokes.second.constData(), int(strokes.second.size()));
}

void TOfficeButton::paintDisabled(QPainter &painter, const Geometry::FaceLayout &face) const
{
    if (m_down)
        paintBevel(painter, true);
    const QPoint shift(1, 1);
    if (!m_disabledKeyed.isNull()) {
        painter.drawPixmap(face.picture, m_disabledKeyed);
    } else if (!m_embossMask.isNull()) {
        // A bitmap is drawn in the pen's colour where its bits are set.
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(highlightColor());
        painter.drawPixmap(face.picture + shift, m_embossMask);
        painter.setPen(shadowColor());
        painter.drawPixmap(face.picture, m_embossMask);
    }
    if (captionCounts()) {
        paintCaption(painter, face.caption.translated(shift), highlightColor());
        paintCaption(painter, face.caption, shadowColor());
    }
}

void TOfficeButton::paintPressed(QPainter &painter, const Geometry::FaceLayout &face) const
{
    paintBevel(painter, true);
    const QColor color = palette().color(QPalette::ButtonText);
    const QPoint shift(1, 1);
    if (captionCounts()) {
        paintCaption(painter, m_bevelStyle == bsRaised ? face.caption.translated(shift)
                                                       : face.caption, color);
    }
    if (!m_glyphKeyed.isNull())
        painter.drawPixmap(face.picture + shift, m_glyphKeyed);
    paintMark(painter, face, color, true);
}

void TOfficeButton::paintFlat(QPainter &painter, const Geometry::FaceLayout &face) const
{
    if (m_hot)
        paintBevel(painter, false);
    const QColor color = m_hot ? palette().color(QPalette::ButtonText) : unselectedFontColor();
    if (captionCounts()) {
        paintCaption(painter, m_bevelStyle == bsLowered ? face.caption.translated(1, 1)
                                                        : face.caption, color);
    }
    const bool mono = !m_hot && m_options.testFlag(boMonoDisplay);
    const QPixmap &picture = !mono ? m_glyphKeyed
        : !m_noFocusKeyed.isNull() ? m_noFocusKeyed : m_greyKeyed;
    if (!picture.isNull())
        painter.drawPixmap(face.picture, picture);
    paintMark(painter, face, color, false);
}

void TOfficeButton::paintCaption(QPainter &painter, QRect rect, const QColor &color) const
{
    const int flags = Geometry::captionFlags(m_alignment, m_wordWrap);
    const QString text =
        Geometry::fittedCaption(fontMetrics(), m_caption, rect.width(), m_wordWrap);
    painter.setPen(color);
    painter.setFont(font());
    painter.drawText(rect, flags, text);
}

void TOfficeButton::paintMark(QPainter &painter, const Geometry::FaceLayout &face,
                              const QColor &color, bool pressedLook) const
{
    if (!markShown())
        return;
    const int captionHeight = captionCounts() ? face.caption.height() : 0;
    const QPoint origin =
        Geometry::triangleMarkOrigin(face, m_glyph.size(), captionHeight, pressedLook);
    const QList<QPoint> pixels = Geometry::triangleMarkPixels(origin);
    painter.setPen(color);
    painter.drawPoints(pixels.constData(), int(pixels.size()));
}
