#include "webcontent.h"

#include "zuvolog.h"

#include <QDialog>
#include <QWidget>

#include <algorithm>
#include <iterator>

namespace {
const int maxSavedAddresses = 30;
const int zoomSteps[] = {25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500};
}

int WebContent::zoomStep(int percent, int direction)
{
    if (direction > 0) {
        const int *above = std::upper_bound(std::begin(zoomSteps), std::end(zoomSteps), percent);
        return above == std::end(zoomSteps) ? percent : *above;
    }
    const int *atOrAbove = std::lower_bound(std::begin(zoomSteps), std::end(zoomSteps), percent);
    return atOrAbove == std::begin(zoomSteps) ? percent : *(atOrAbove - 1);
}

bool WebContent::devToolsEnabled()
{
    // Read once: the tools are a decision made when the process starts.
    static const bool enabled = qgetenv("ZUVO_DEVTOOLS") == "1";
    return enabled;
}

void WebContent::saveAddresses(QQueue<QUrl> &saved, const QList<QUrl> &currentBackToFirst)
{
    for (const QUrl &address : currentBackToFirst) {
        saved.enqueue(address);
        if (saved.size() > maxSavedAddresses)
            saved.dequeue();
    }
}

void WebContent::closePageDialogs()
{
    // Rejecting one ends its event loop once control returns there.
    for (QDialog *dialog : view()->findChildren<QDialog *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (dialog->isVisible())
            dialog->reject();
    }
}
