#include "zuvochatwebbroswer_private.h"

#include "zuvochatwbconfigure.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

InformBox::InformBox(QWidget *parent, const QString &information, const QString &confirmText, Action confirm,
                     const QString &cancelText, Action cancel)
    : QWidget(parent, Qt::WindowFlags())
    , _information(information, this)
    , _confirmButton(this, confirmText, ZuvoChatWBConfigure::font(), Qt::black)
    , _cancelButton(this, cancelText, ZuvoChatWBConfigure::font(), Qt::black)
    , _confirm(std::move(confirm))
    , _cancel(std::move(cancel))
{
    _information.setObjectName(QStringLiteral("information"));
    _confirmButton.setObjectName(QStringLiteral("confirmButton"));
    _cancelButton.setObjectName(QStringLiteral("cancelButton"));

    // Never larger than what it is laid over, so centring it never puts its
    // corner at a negative position.
    const QSize configured = ZuvoChatWBConfigure::InfoBoxSize();
    resize(parent ? configured.boundedTo(parent->size()) : configured);

    _information.adjustSize();
    _cancelButton.adjustSize();
    if (cancelText.isEmpty())
        _cancelButton.hide();

    connect(&_confirmButton, &Button::clicked, this, &InformBox::onConfirm);
    connect(&_cancelButton, &Button::clicked, this, &InformBox::onCancel);
}

void InformBox::onConfirm()
{
    run(_confirm);
}

void InformBox::onCancel()
{
    run(_cancel);
}

void InformBox::run(const Action &action)
{
    if (!action)
        return;
    // The callback may destroy this box and with it the stored callable, so
    // the call runs on a copy that outlives it.
    const Action call = action;
    call(this);
}

void InformBox::resizeEvent(QResizeEvent *e)
{
    Q_UNUSED(e)
    const QMargins margins = ZuvoChatWBConfigure::InfoBoxMargins();

    _information.move(margins.left(), margins.top());
    _confirmButton.move(width() - _confirmButton.width() - margins.right(),
                        height() - _confirmButton.height() - margins.bottom());
    _cancelButton.move(_confirmButton.x() - _cancelButton.width(), _confirmButton.y());
}

void InformBox::paintEvent(QPaintEvent *e)
{
    QPainter painter(this);
    painter.fillRect(e->rect(), Qt::white);
}
