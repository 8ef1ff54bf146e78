#pragma once

#include "median.h"
#include "webcontent.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QString>
#include <QTimer>

// The find benchmarks' page: one "apple" per line, as many lines as matches.
inline QString findPageWith(int matches)
{
    QString html = QStringLiteral("<html><body>");
    for (int i = 0; i < matches; ++i)
        html += QStringLiteral("<p>line %1: the apple of the eye, and other words around it</p>").arg(i);
    return html + QStringLiteral("</body></html>");
}

// Median time from typing "apple" into the find bar's field to the first
// result that counts matches, for engines whose count comes back later from
// another process.
inline double keystrokeToCountMs(int runs, QLineEdit *field, WebContent *content, int timeoutMs)
{
    return medianMs(runs, [&] {
        field->setText(QString());
        QEventLoop loop;
        QObject::connect(content, &WebContent::findResult, &loop, [&loop](int, int total) {
            if (total > 0)
                loop.quit();
        });
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        field->setText(QStringLiteral("apple"));
        loop.exec();
    });
}
