// Who may have the host's secrets: the origin patterns of "trustedOrigins",
// the token rule both engines ask for every request and redirect hop, and the
// certificate rule of "strictCertificates". Pure functions, one table each.
#include "trustedorigins.h"

#include <QtTest>

namespace {

TrustedOriginList trusting(const QByteArray &json)
{
    return TrustedOriginList::fromJson(json);
}

const QByteArray chatOrigins = R"(["https://chat.example.com","https://*.cdn.example.com:8443","http://127.0.0.1:9000"])";

} // namespace

class tst_TrustedOrigins : public QObject
{
    Q_OBJECT

private slots:
    void patternsMatch_data();
    void patternsMatch();
    void listPayloads_data();
    void listPayloads();
    void tokenRule_data();
    void tokenRule();
    void certificateRule_data();
    void certificateRule();
};

void tst_TrustedOrigins::patternsMatch_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("matches");

    QTest::newRow("same origin") << "https://chat.example.com" << "https://chat.example.com/a?b#c" << true;
    QTest::newRow("scheme's port written out") << "https://chat.example.com" << "https://chat.example.com:443/" << true;
    QTest::newRow("other port") << "https://chat.example.com" << "https://chat.example.com:8443/" << false;
    QTest::newRow("port in the pattern") << "https://chat.example.com:8443" << "https://chat.example.com:8443/" << true;
    QTest::newRow("default port of the pattern's scheme") << "http://chat.example.com:80" << "http://chat.example.com/" << true;
    QTest::newRow("other scheme") << "https://chat.example.com" << "http://chat.example.com/" << false;
    QTest::newRow("upper case on both sides") << "HTTPS://Chat.Example.COM" << "https://CHAT.example.com/" << true;
    QTest::newRow("subdomain") << "https://*.example.com" << "https://a.example.com/" << true;
    QTest::newRow("deeper subdomain") << "https://*.example.com" << "https://a.b.example.com/" << true;
    QTest::newRow("bare domain not by *.") << "https://*.example.com" << "https://example.com/" << false;
    QTest::newRow("suffix that is no subdomain") << "https://*.example.com" << "https://badexample.com/" << false;
    QTest::newRow("look-alike ending") << "https://chat.example.com" << "https://chat.example.com.evil.net/" << false;
    QTest::newRow("international name, Unicode pattern") << "https://bücher.example" << "https://xn--bcher-kva.example/" << true;
    QTest::newRow("international name, ACE pattern") << "https://xn--bcher-kva.example" << "https://BÜCHER.example/" << true;
    QTest::newRow("user information does not fool it") << "https://chat.example.com" << "https://chat.example.com@evil.net/" << false;
    QTest::newRow("IP address") << "http://127.0.0.1:9000" << "http://127.0.0.1:9000/x" << true;
    QTest::newRow("hostless address") << "https://chat.example.com" << "data:text/html,hi" << false;
}

void tst_TrustedOrigins::patternsMatch()
{
    QFETCH(QString, pattern);
    QFETCH(QString, url);
    QFETCH(bool, matches);

    const std::optional<OriginPattern> parsed = OriginPattern::parse(pattern);
    QVERIFY(parsed);
    QCOMPARE(parsed->matches(QUrl(url)), matches);
}

void tst_TrustedOrigins::listPayloads_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("active");
    QTest::addColumn<QStringList>("patterns");

    QTest::newRow("patterns, normalised") << QByteArray(R"([" HTTPS://Chat.Example.com ","https://*.example.com:443"])") << true
                                          << QStringList{"https://chat.example.com", "https://*.example.com"};
    QTest::newRow("malformed entries dropped, the rest apply")
        << QByteArray(R"(["https://chat.example.com/path","chat.example.com","https://a.*.com","https://*",)"
                      R"("https://u@chat.example.com","https://chat.example.com:99999",7,"http://ok.example:8080"])")
        << true << QStringList{"http://ok.example:8080"};
    QTest::newRow("nothing but bad entries: on, trusting nobody") << QByteArray(R"(["chat.example.com"])") << true << QStringList();
    QTest::newRow("empty array: off") << QByteArray("[]") << false << QStringList();
    QTest::newRow("object: off") << QByteArray(R"({"origins":["https://chat.example.com"]})") << false << QStringList();
    QTest::newRow("not JSON: off") << QByteArray("https://chat.example.com") << false << QStringList();
    QTest::newRow("empty payload: off") << QByteArray() << false << QStringList();
}

void tst_TrustedOrigins::listPayloads()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, active);
    QFETCH(QStringList, patterns);

    const TrustedOriginList list = trusting(payload);
    QCOMPARE(list.isActive(), active);
    QCOMPARE(list.patterns(), patterns);
}

void tst_TrustedOrigins::tokenRule_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("initiator");
    QTest::addColumn<bool>("startedByHost");
    QTest::addColumn<bool>("carries");

    const QString chat = QStringLiteral("https://chat.example.com/");
    const QString other = QStringLiteral("https://links.example.org/");
    QTest::newRow("no list: every request, as always") << QByteArray("[]") << other << other << false << true;
    QTest::newRow("host shows a trusted address") << chatOrigins << chat << QString() << true << true;
    QTest::newRow("host shows another address") << chatOrigins << other << QString() << true << false;
    QTest::newRow("trusted page to its own origin") << chatOrigins << chat + "api" << chat << false << true;
    QTest::newRow("trusted page to a trusted subdomain")
        << chatOrigins << QString("https://img.cdn.example.com:8443/a.png") << chat << false << true;
    QTest::newRow("trusted page to another host") << chatOrigins << other + "pixel.png" << chat << false << false;
    QTest::newRow("untrusted page aims at the trusted host") << chatOrigins << chat + "api/send" << other << false << false;
    QTest::newRow("nobody started it") << chatOrigins << chat << QString() << false << false;
    QTest::newRow("hop after a hop that carried it") << chatOrigins << chat + "next" << chat + "first" << false << true;
    QTest::newRow("hop away from the trusted origins") << chatOrigins << other << chat + "first" << false << false;
    QTest::newRow("back after a hop that did not carry it") << chatOrigins << chat << QString() << false << false;
}

void tst_TrustedOrigins::tokenRule()
{
    QFETCH(QByteArray, list);
    QFETCH(QString, request);
    QFETCH(QString, initiator);
    QFETCH(bool, startedByHost);
    QFETCH(bool, carries);

    QCOMPARE(trusting(list).mayCarryToken(QUrl(request), QUrl(initiator), startedByHost), carries);
}

void tst_TrustedOrigins::certificateRule_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("changesRule");
    QTest::addColumn<bool>("acceptsListed");
    QTest::addColumn<bool>("acceptsOther");

    const QByteArray listed = CertificateRule::fingerprint("listed certificate");
    QTest::newRow("listed fingerprint") << QByteArray("[\"" + listed + "\"]") << true << true << false;
    QTest::newRow("upper-case hex") << QByteArray("[\"" + listed.toUpper() + "\"]") << true << true << false;
    QTest::newRow("empty array: every error refused") << QByteArray("[]") << true << false << false;
    QTest::newRow("bad entries dropped") << QByteArray("[\"" + listed.left(63) + "\", 42, \"" + listed + "\"]") << true << true << false;
    QTest::newRow("not an array: dropped") << QByteArray("{}") << false << true << true;
    QTest::newRow("not JSON: dropped") << QByteArray(listed) << false << true << true;
}

void tst_TrustedOrigins::certificateRule()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, changesRule);
    QFETCH(bool, acceptsListed);
    QFETCH(bool, acceptsOther);

    const std::optional<CertificateRule> parsed = CertificateRule::fromJson(payload);
    QCOMPARE(bool(parsed), changesRule);
    // Until the host sends a rule, every certificate passes.
    const CertificateRule rule = parsed.value_or(CertificateRule());
    QCOMPARE(rule.isStrict(), changesRule);
    QCOMPARE(rule.acceptsDespiteErrors("listed certificate"), acceptsListed);
    QCOMPARE(rule.acceptsDespiteErrors("another certificate"), acceptsOther);
}

QTEST_GUILESS_MAIN(tst_TrustedOrigins)
#include "tst_trustedorigins.moc"
