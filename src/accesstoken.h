#pragma once

#include <QByteArray>
#include <QString>

// The host's access token as both engines put it on a page's requests.
namespace accesstoken {

inline QByteArray headerName()
{
    return QByteArrayLiteral("X-Access-Token");
}

// The token as it may go into a header: a line break in a header value would
// end the header and start another one of the host's choosing, and other
// control characters make the request one that servers refuse. Such a token
// is never sent, whole or in part: this gives an empty one, and says so.
QString sendable(const QString &token);

} // namespace accesstoken
