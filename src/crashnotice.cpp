#include "crashnotice.h"

#include <QEvent>

CrashNotice::CrashNotice(QWidget *view)
    : QLabel(view)
{
    setObjectName(QStringLiteral("crashNotice"));
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    applyText();
    hide();
    view->installEventFilter(this);
}

void CrashNotice::applyText()
{
    setText(tr("This page stopped working: the process that showed it has ended.\n"
               "Refresh, or open another address, to load it again."));
}

void CrashNotice::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        applyText();
}

void CrashNotice::showOverPage()
{
    setGeometry(parentWidget()->rect());
    show();
    raise();
}

bool CrashNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QLabel::eventFilter(watched, event);
}
