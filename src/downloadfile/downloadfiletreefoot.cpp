#include "downloadfiletreefoot.h"

#include "zuvochatwbconfigure.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

DownloadFileTreeFoot::DownloadFileTreeFoot(QWidget *parent)
    : QWidget(parent)
{
    using C = ZuvoChatWBConfigure;
    _clearAll.setObjectName(QStringLiteral("clearAll"));
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(C::convertScale(30), C::convertScale(18), C::convertScale(30), C::convertScale(18));
    layout->addWidget(&_clearAll, 0, Qt::AlignRight);
    setLayout(layout);

    _clearAll.setCursor(Qt::PointingHandCursor);
    const QFont font = C::font();
    _clearAll.setStyleSheet(QStringLiteral("border:1px solid lightGray;border-radius:5px;font-size:%1px;"
                                           "font-family:%2;color:#999999")
                                .arg(font.pixelSize())
                                .arg(font.family()));
    setClearAllText(C::WebFileRemoveAllText());
    connect(&_clearAll, &QPushButton::clicked, this, &DownloadFileTreeFoot::clearAll);
}

void DownloadFileTreeFoot::setClearAllText(const QString &text)
{
    using C = ZuvoChatWBConfigure;
    _clearAll.setText(text);
    const int padding = C::convertScale(24);
    const int width = std::max(C::convertScale(100), QFontMetrics(C::font()).horizontalAdvance(text) + padding);
    _clearAll.setFixedSize(width, C::convertScale(44));
}

void DownloadFileTreeFoot::paintEvent(QPaintEvent *e)
{
    QWidget::paintEvent(e);
    const int band = ZuvoChatWBConfigure::convertScale(5);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    QLinearGradient shadow(width() / 2, band, width() / 2, 0);
    shadow.setColorAt(0, Qt::lightGray);
    shadow.setColorAt(1, Qt::white);
    painter.setBrush(shadow);
    painter.drawRect(0, 0, width(), band);
}
