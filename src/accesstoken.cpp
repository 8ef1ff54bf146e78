#include "accesstoken.h"

#include "zuvolog.h"

#include <algorithm>

QString accesstoken::sendable(const QString &token)
{
    const bool fits = std::none_of(token.begin(), token.end(),
                                   [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    if (fits)
        return token;
    qCDebug(zuvoWeb) << "accessToken refused: control characters";
    return QString();
}
