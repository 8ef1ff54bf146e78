#pragma once

#include "trustedorigins.h"

#include <QList>
#include <QString>
#include <QUrl>

// Which documents may see the script bridge: those of the origin the host
// asked the window to show, and of the origin where the first load of that
// address ended up after redirects. Everything else never sees it. Once the
// host names its trusted origins, those alone decide.
class BridgeOrigins
{
public:
    // Call with every address the host asks the window to show. The allowed
    // origins become that address's origin alone, until settle() adds the
    // place its first load ended up.
    void allow(const QUrl &requested);

    // A document has arrived in the main frame: its load was started for
    // requested and now shows current. Only a document whose load was started
    // for the requested origin tells where that load ended; anything else
    // showing meanwhile is not it.
    void settle(const QUrl &requested, const QUrl &current);
    bool awaitingFinalAddress() const { return _awaitingFinalAddress; }

    bool isAllowed(const QUrl &url) const;
    void setTrustedOrigins(const TrustedOriginList &trusted) { _trusted = trusted; }

private:
    struct Origin {
        QString scheme;
        QString host;
        int port = -1;
        bool isValid() const;
        bool operator==(const Origin &other) const;
    };
    static Origin originOf(const QUrl &url);

    Origin _requestedOrigin;
    QList<Origin> _allowedOrigins;
    bool _awaitingFinalAddress = false;
    TrustedOriginList _trusted;
};
