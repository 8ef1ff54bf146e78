#include "trustedorigins.h"

#include "zuvolog.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>

namespace {

int defaultPort(const QString &scheme)
{
    if (scheme == QLatin1String("https") || scheme == QLatin1String("wss"))
        return 443;
    if (scheme == QLatin1String("http") || scheme == QLatin1String("ws"))
        return 80;
    return -1;
}

QString asciiHost(const QString &host)
{
    // QUrl has already lower-cased and checked the name; ACE makes an
    // international name and its look-alikes plainly different.
    return QString::fromLatin1(QUrl::toAce(host)).toLower();
}

std::optional<QJsonArray> jsonArray(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    return document.array();
}

} // namespace

std::optional<OriginPattern> OriginPattern::parse(const QString &text)
{
    static const QRegularExpression shape(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://(\\*\\.)?([^/?#@:*]+)(:(\\d{1,5}))?$"));
    const QRegularExpressionMatch match = shape.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    OriginPattern pattern;
    pattern._scheme = match.captured(1).toLower();
    pattern._subdomains = match.capturedLength(2) > 0;
    const QUrl hostOnly(pattern._scheme + QStringLiteral("://") + match.captured(3), QUrl::StrictMode);
    if (!hostOnly.isValid() || hostOnly.host().isEmpty())
        return std::nullopt;
    pattern._host = asciiHost(hostOnly.host());
    if (pattern._host.isEmpty())
        return std::nullopt;
    pattern._port = match.capturedLength(5) > 0 ? match.captured(5).toInt() : defaultPort(pattern._scheme);
    if (pattern._port > 65535)
        return std::nullopt;
    return pattern;
}

QString OriginPattern::normalisedHost(const QUrl &url)
{
    return asciiHost(url.host());
}

int OriginPattern::effectivePort(const QUrl &url)
{
    return url.port(defaultPort(url.scheme().toLower()));
}

bool OriginPattern::matches(const QUrl &url) const
{
    if (!url.isValid() || url.scheme().toLower() != _scheme || effectivePort(url) != _port)
        return false;
    const QString host = normalisedHost(url);
    if (!_subdomains)
        return host == _host;
    return host.endsWith(QLatin1Char('.') + _host);
}

QString OriginPattern::toString() const
{
    QString text = _scheme + QStringLiteral("://") + (_subdomains ? QStringLiteral("*.") : QString()) + _host;
    if (_port != defaultPort(_scheme))
        text += QLatin1Char(':') + QString::number(_port);
    return text;
}

TrustedOriginList TrustedOriginList::fromJson(const QByteArray &json)
{
    TrustedOriginList list;
    const std::optional<QJsonArray> entries = jsonArray(json);
    if (!entries || entries->isEmpty())
        return list;
    list._active = true;
    for (const QJsonValue &entry : *entries) {
        if (const std::optional<OriginPattern> pattern = OriginPattern::parse(entry.toString()))
            list._patterns.append(*pattern);
        else
            qCWarning(zuvoWeb).noquote() << "trustedOrigins: dropped" << QJsonDocument(QJsonArray{entry}).toJson(QJsonDocument::Compact);
    }
    return list;
}

TrustedOriginList TrustedOriginList::fromPatterns(const QStringList &patterns)
{
    TrustedOriginList list;
    list._active = true;
    for (const QString &text : patterns) {
        if (const std::optional<OriginPattern> pattern = OriginPattern::parse(text))
            list._patterns.append(*pattern);
    }
    return list;
}

bool TrustedOriginList::isTrusted(const QUrl &url) const
{
    return std::any_of(_patterns.begin(), _patterns.end(),
                       [&url](const OriginPattern &pattern) { return pattern.matches(url); });
}

bool TrustedOriginList::mayCarryToken(const QUrl &request, const QUrl &initiator, bool startedByHost) const
{
    if (!_active)
        return true;
    return isTrusted(request) && (startedByHost || isTrusted(initiator));
}

QStringList TrustedOriginList::patterns() const
{
    QStringList texts;
    for (const OriginPattern &pattern : _patterns)
        texts.append(pattern.toString());
    return texts;
}

QUrl comparableAddress(const QUrl &url)
{
    QUrl address = url.adjusted(QUrl::RemoveFragment);
    if (address.path().isEmpty() && !address.host().isEmpty())
        address.setPath(QStringLiteral("/"));
    return address;
}

std::optional<CertificateRule> CertificateRule::fromJson(const QByteArray &json)
{
    const std::optional<QJsonArray> entries = jsonArray(json);
    if (!entries)
        return std::nullopt;
    static const QRegularExpression sha256(QStringLiteral("^[0-9a-fA-F]{64}$"));
    CertificateRule rule;
    rule._strict = true;
    for (const QJsonValue &entry : *entries) {
        const QString text = entry.toString();
        if (sha256.match(text).hasMatch())
            rule._fingerprints.insert(text.toLower().toLatin1());
        else
            qCWarning(zuvoWeb) << "strictCertificates: dropped an entry that is no SHA-256 fingerprint";
    }
    return rule;
}

QByteArray CertificateRule::fingerprint(const QByteArray &certificateDer)
{
    return QCryptographicHash::hash(certificateDer, QCryptographicHash::Sha256).toHex();
}

bool CertificateRule::acceptsDespiteErrors(const QByteArray &certificateDer) const
{
    return !_strict || _fingerprints.contains(fingerprint(certificateDer));
}
