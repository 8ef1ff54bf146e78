#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// One entry of the host's list: scheme://host[:port], where a host written
// "*.example.com" stands for every subdomain of example.com but not for
// example.com itself.
class OriginPattern
{
public:
    // Nothing for an entry that is not such a pattern (a path, a query, user
    // information, a wildcard anywhere but in front).
    static std::optional<OriginPattern> parse(const QString &text);

    bool matches(const QUrl &url) const;
    QString toString() const;

    // Lower-case ASCII (international names in their ACE form), the port
    // filled in from the scheme where the address leaves it out.
    static QString normalisedHost(const QUrl &url);
    static int effectivePort(const QUrl &url);

private:
    QString _scheme;
    QString _host; // without the "*." of a subdomain pattern
    bool _subdomains = false;
    int _port = -1;
};

// Which addresses the host trusts with its secrets: the access token, the
// script bridge. Until the host sends a list, everything is as it always
// was: the token on every request, the bridge for the origin the host showed.
class TrustedOriginList
{
public:
    // The payload of "trustedOrigins". An empty array, or anything that is not
    // an array, gives the inactive list; entries that are not patterns are
    // dropped and the rest apply, so a list of nothing but typos trusts nobody.
    static TrustedOriginList fromJson(const QByteArray &json);
    // An active list of these patterns, as patterns() gives them: how the
    // list travels to a process that decides on its own.
    static TrustedOriginList fromPatterns(const QStringList &patterns);

    bool isActive() const { return _active; }
    bool isTrusted(const QUrl &url) const;

    // Whether a request may carry the access token. startedByHost: the
    // window loads it for the host ("showUrl", or going back in its own
    // history). initiator: the document that started it. For a redirect hop,
    // call with the previous hop as initiator when that hop carried the
    // token, and with an empty address when it did not: a chain that once
    // left the trusted origins never earns the token back.
    bool mayCarryToken(const QUrl &request, const QUrl &initiator, bool startedByHost) const;

    // Whether a document of this address may have the script bridge; only
    // asked while the list is active.
    bool mayUseBridge(const QUrl &document) const { return isTrusted(document); }

    QStringList patterns() const;

private:
    QList<OriginPattern> _patterns;
    bool _active = false;
};

// An address as the window and an engine both write one request's: no
// fragment, "/" for an empty path.
QUrl comparableAddress(const QUrl &url);

// Which certificates that fail verification are let through. Until the host
// sends "strictCertificates", every one is (a page is never stopped by its
// certificate); afterwards only those whose SHA-256 fingerprint is listed.
class CertificateRule
{
public:
    // The payload of "strictCertificates": an array of 64-digit hex SHA-256
    // fingerprints of certificates' DER bytes. Nothing for a payload that is
    // not an array, which changes nothing; entries that are no fingerprint
    // are dropped.
    static std::optional<CertificateRule> fromJson(const QByteArray &json);

    bool isStrict() const { return _strict; }
    // Whether a certificate that failed verification may be used all the same.
    bool acceptsDespiteErrors(const QByteArray &certificateDer) const;

    static QByteArray fingerprint(const QByteArray &certificateDer);
    // Lower-case hex, for an engine that checks in another process.
    QList<QByteArray> fingerprints() const { return _fingerprints.values(); }

private:
    QSet<QByteArray> _fingerprints;
    bool _strict = false;
};
