#pragma once

#include "qtcompat_p.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QEvent;
class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QPainter;
class QPaintEvent;

// A widget that clicks like a push button but keeps its own three-bit state,
// so that the title bar and the boxes can draw themselves without a style.
class Button : public QWidget
{
    Q_OBJECT

public:
    enum State {
        StateOver = 0x01,
        StateDown = 0x02,
        StateDisabled = 0x04,
    };

    explicit Button(QWidget *parent);

    void setAcceptBoth(bool acceptBoth);
    void setOver(bool over);
    // Only marks the state: the widget stays enabled and still clicks, so the
    // owner decides what a marked button means.
    void setDisabled(bool disabled);
    // Emits even when the state was already 0, so receivers can use it to
    // force a refresh.
    void clearState();
    int getState() const;
    // What a release over the button does, for the keyboard and for
    // assistive technologies: the receivers cannot tell it from a click.
    void click();

signals:
    void clicked();
    void stateChanged(int oldState);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    // The press handler calls this with a null event when the pointer was not
    // known to be over the button yet.
    void enterEvent(qtcompat::EnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    // A dotted frame just inside the edges while the keyboard is here.
    void paintFocus(QPainter &painter, const QColor &color) const;

    Qt::KeyboardModifiers _modifiers;
    int _state = 0;
    bool _acceptBoth = false;

private:
    void setStateBit(int bit, bool on);
    // The next button beside this one that the keyboard can reach, in the
    // order Tab takes; this one when there is none.
    Button *neighbour(bool forward) const;
};

// A caption centred by the normal font's measures; while hovered it is drawn
// in the hover font and colour one pixel lower, without changing the size.
class TextButton : public Button
{
    Q_OBJECT

public:
    TextButton(QWidget *parent, const QString &text, const QFont &font, const QColor &color);

    // Another caption; the button takes the width it needs.
    void setText(const QString &text);
    QString text() const { return _text; }

    void setHoverColor(const QColor &color);
    void setHoverFont(const QFont &font);

public slots:
    void onStateChanged(int oldState);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    QPoint baselineOrigin(bool over) const;

    QString _text;
    QColor _color;
    QColor _hoverColor;
    QFont _font;
    QFont _hoverFont;
    QFontMetrics _fontm;
    qint32 _textWidth;
    qint32 _textHeight;
};

// One image at its logical size (device pixels divided by the image's own
// device pixel ratio), painted at a settable opacity.
class ImageButton : public Button
{
    Q_OBJECT

public:
    explicit ImageButton(QWidget *parent);
    ImageButton(QWidget *parent, const QPixmap *image);

    void setImage(const QPixmap &image);
    void setOpacity(double opacity);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    void resizeToImage();

    QPixmap _img;
    double _opacity = 1.0;
};
