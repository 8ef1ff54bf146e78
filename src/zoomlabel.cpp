#include "zoomlabel.h"

#include "overlaystyle.h"
#include "zuvochatwbconfigure.h"

#include <QFontMetrics>
#include <QPainter>

ZoomLabel::ZoomLabel(QWidget *parent)
    : QWidget(parent, Qt::WindowFlags())
    , _font(enlargedStoreFont())
{
    setObjectName(QStringLiteral("zoomLabel"));
    // Only a sign: clicks go to the page beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    _hideTimer.setSingleShot(true);
    _hideTimer.setInterval(shownMs);
    connect(&_hideTimer, &QTimer::timeout, this, &QWidget::hide);
    hide();
}

void ZoomLabel::showLevel(int percent)
{
    // Read each time, so a language set while the label was away applies.
    setAccessibleName(tr("Zoom level"));
    //: The page's zoom, %1 a number of percent
    _text = tr("%1%").arg(percent);
    setAccessibleDescription(_text);
    const QFontMetrics metrics(_font);
    resize(metrics.horizontalAdvance(_text) + 2 * ZuvoChatWBConfigure::convertScale(16),
           metrics.height() + 2 * ZuvoChatWBConfigure::convertScale(8));
    show();
    update();
    _hideTimer.start();
}

void ZoomLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ZuvoChatWBConfigure::TitleBG());
    const qreal radius = ZuvoChatWBConfigure::convertScale(6);
    painter.drawRoundedRect(QRectF(rect()), radius, radius);
    painter.setFont(_font);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, _text);
}
