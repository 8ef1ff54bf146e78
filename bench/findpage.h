#pragma once

#include <QString>

// The find benchmarks' page: one "apple" per line, as many lines as matches.
inline QString findPageWith(int matches)
{
    QString html = QStringLiteral("<html><body>");
    for (int i = 0; i < matches; ++i)
        html += QStringLiteral("<p>line %1: the apple of the eye, and other words around it</p>").arg(i);
    return html + QStringLiteral("</body></html>");
}
