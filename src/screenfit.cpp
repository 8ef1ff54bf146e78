#include "screenfit.h"

#include <QtGlobal>

#include <limits>

namespace {

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// Squared gap between two rectangles that do not meet.
qint64 gap(const QRect &a, const QRect &b)
{
    const qint64 dx = qMax(0, qMax(b.left() - a.right(), a.left() - b.right()));
    const qint64 dy = qMax(0, qMax(b.top() - a.bottom(), a.top() - b.bottom()));
    return dx * dx + dy * dy;
}

QRect nearestArea(const QRect &frame, const QList<QRect> &areas)
{
    QRect best = areas.first();
    qint64 bestOverlap = -1;
    qint64 bestGap = std::numeric_limits<qint64>::max();
    for (const QRect &area : areas) {
        const qint64 shared = overlap(frame, area);
        const qint64 distance = gap(frame, area);
        if (shared > bestOverlap || (shared == 0 && bestOverlap == 0 && distance < bestGap)) {
            best = area;
            bestOverlap = shared;
            bestGap = distance;
        }
    }
    return best;
}

int clampedStart(int start, int length, int areaStart, int areaLength)
{
    return qBound(areaStart, start, areaStart + areaLength - length);
}

} // namespace

QRect fitOnScreens(const QRect &window, const QMargins &frame, const QList<QRect> &areas)
{
    const QRect framed = window.marginsAdded(frame);
    if (areas.isEmpty())
        return window;
    for (const QRect &area : areas) {
        if (area.contains(framed))
            return window;
    }

    const QRect area = nearestArea(framed, areas);
    const int width = qMin(framed.width(), area.width());
    const int height = qMin(framed.height(), area.height());
    const QRect fitted(clampedStart(framed.x(), width, area.x(), area.width()),
                       clampedStart(framed.y(), height, area.y(), area.height()), width, height);
    return fitted.marginsRemoved(frame);
}

QRect windowForFrame(const QRect &savedFrame, const QMargins &frame, const QList<QRect> &areas)
{
    return fitOnScreens(savedFrame.marginsRemoved(frame), frame, areas);
}
