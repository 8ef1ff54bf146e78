#include "button.h"

#include "accessibility.h"
#include "zuvochatwbconfigure.h"

#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

Button::Button(QWidget *parent)
    : QWidget(parent, Qt::WindowFlags())
{
    accessibility::install();
    // Reached by Tab only: a click must leave the focus with the page, so
    // that its keys keep going there.
    setFocusPolicy(Qt::TabFocus);
}

void Button::setAcceptBoth(bool acceptBoth)
{
    _acceptBoth = acceptBoth;
}

void Button::setOver(bool over)
{
    setStateBit(StateOver, over);
}

void Button::setDisabled(bool disabled)
{
    setStateBit(StateDisabled, disabled);
}

void Button::clearState()
{
    const int oldState = _state;
    _state = 0;
    emit stateChanged(oldState);
}

int Button::getState() const
{
    return _state;
}

void Button::click()
{
    _modifiers = Qt::NoModifier;
    emit clicked();
}

void Button::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        click();
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        neighbour(false)->setFocus(Qt::TabFocusReason);
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        neighbour(true)->setFocus(Qt::TabFocusReason);
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

Button *Button::neighbour(bool forward) const
{
    for (QWidget *w = forward ? nextInFocusChain() : previousInFocusChain(); w != this;
         w = forward ? w->nextInFocusChain() : w->previousInFocusChain()) {
        auto *button = qobject_cast<Button *>(w);
        if (button && button->parentWidget() == parentWidget() && button->isVisible()
            && (button->focusPolicy() & Qt::TabFocus))
            return button;
    }
    return const_cast<Button *>(this);
}

void Button::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    update();
}

void Button::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    update();
}

void Button::paintFocus(QPainter &painter, const QColor &color) const
{
    if (!hasFocus())
        return;
    painter.save();
    painter.setOpacity(1.0);
    painter.setPen(QPen(color, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.restore();
}

void Button::setStateBit(int bit, bool on)
{
    const int oldState = _state;
    if (on)
        _state |= bit;
    else
        _state &= ~bit;
    if (_state != oldState)
        emit stateChanged(oldState);
}

void Button::mousePressEvent(QMouseEvent *e)
{
    // The whole set of held buttons counts: a right press while the left one
    // is still down is part of the same left press.
    if (!_acceptBoth && !(e->buttons() & Qt::LeftButton))
        return;
    if (!(_state & StateOver))
        enterEvent(nullptr);
    if (_state & StateDown)
        return;

    const int oldState = _state;
    _state |= StateDown;
    emit stateChanged(oldState);
    e->accept();
}

void Button::mouseReleaseEvent(QMouseEvent *e)
{
    if (!(_state & StateDown))
        return;

    const int oldState = _state;
    _state &= ~StateDown;
    emit stateChanged(oldState);

    if (oldState & StateOver) {
        _modifiers = e->modifiers();
        // A receiver may delete this button, so nothing touches it afterwards.
        emit clicked();
        return;
    }
    // The leave that arrived during the press was ignored; catch up on it now.
    leaveEvent(e);
}

void Button::mouseMoveEvent(QMouseEvent *e)
{
    setOver(rect().contains(e->pos()));
}

void Button::enterEvent(qtcompat::EnterEvent *e)
{
    setOver(true);
    setMouseTracking(true);
    QWidget::enterEvent(e);
}

void Button::leaveEvent(QEvent *e)
{
    // While pressed the pointer may wander off and come back; moves decide.
    if (_state & StateDown)
        return;
    setOver(false);
    setMouseTracking(false);
    QWidget::leaveEvent(e);
}

TextButton::TextButton(QWidget *parent, const QString &text, const QFont &font, const QColor &color)
    : Button(parent)
    , _text(text)
    , _color(color)
    , _hoverColor(color)
    , _font(font)
    , _hoverFont(font)
    , _fontm(_font)
    , _textWidth(_fontm.horizontalAdvance(_text))
    , _textHeight(_fontm.height())
{
    setCursor(Qt::PointingHandCursor);
    resize(_textWidth + ZuvoChatWBConfigure::convertScale(10), _textHeight + ZuvoChatWBConfigure::convertScale(10));
    connect(this, &Button::stateChanged, this, &TextButton::onStateChanged);
}

void TextButton::setText(const QString &text)
{
    if (text == _text)
        return;
    _text = text;
    _textWidth = _fontm.horizontalAdvance(_text);
    resize(_textWidth + ZuvoChatWBConfigure::convertScale(10), height());
    update();
}

void TextButton::setHoverColor(const QColor &color)
{
    _hoverColor = color;
}

void TextButton::setHoverFont(const QFont &font)
{
    _hoverFont = font;
}

void TextButton::onStateChanged(int oldState)
{
    Q_UNUSED(oldState)
    update();
}

QPoint TextButton::baselineOrigin(bool over) const
{
    // Measured with the normal font even while hovered, so a wider or taller
    // hover font never moves the caption sideways.
    const int x = (width() - _textWidth) / 2;
    const int y = (over ? 1 : 0) + (height() - _textHeight) / 2 + _fontm.ascent();
    return QPoint(x, y);
}

void TextButton::paintEvent(QPaintEvent *e)
{
    Q_UNUSED(e)
    const bool over = _state & StateOver;

    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(over ? _hoverFont : _font);
    painter.setPen(over ? _hoverColor : _color);
    painter.drawText(baselineOrigin(over), _text);
    paintFocus(painter, _color);
}

ImageButton::ImageButton(QWidget *parent)
    : Button(parent)
{
    setCursor(Qt::PointingHandCursor);
}

ImageButton::ImageButton(QWidget *parent, const QPixmap *image)
    : ImageButton(parent)
{
    // The resource singleton never hands out null, but a null image must not
    // take the process down: the button then stays empty and unsized.
    if (!image)
        return;
    setImage(*image);
}

void ImageButton::setImage(const QPixmap &image)
{
    // A private copy, so a later change of the shared resource pixmap cannot
    // alter a button that is already on screen.
    _img = image.copy();
    resizeToImage();
    // An image of the same size causes no resize and so no repaint by itself.
    update();
}

void ImageButton::setOpacity(double opacity)
{
    _opacity = opacity;
    update();
}

void ImageButton::resizeToImage()
{
    const double scale = 1.0 / _img.devicePixelRatio();
    resize(qRound(_img.width() * scale), qRound(_img.height() * scale));
}

void ImageButton::paintEvent(QPaintEvent *e)
{
    Q_UNUSED(e)
    QPainter painter(this);
    painter.setOpacity(_opacity);
    painter.drawPixmap(0, 0, _img);
    paintFocus(painter, Qt::white);
}
