// The catalogue of hostile host input: every row is one malformed or extreme
// piece of what a host may write, fed through the receive path to a real
// window (the fuzz target's harness, with a host end on a real local socket).
// After each, a valid title and message must still take effect; after the
// whole catalogue the process's memory must be back near where it started.
#include "hostlinkharness.h"
#include "testsupport.h"
#include "zuvochatwbconfigure.h"

#include <QRandomGenerator>
#include <QtTest>

#include <malloc.h>

namespace {

QByteArray wire(const char *group, const char *command, const QByteArray &payload)
{
    return QByteArray(group) + ':' + command + ':' + payload.toBase64() + ';';
}

QByteArray config(const char *command, const QByteArray &payload)
{
    return wire("config", command, payload);
}

QByteArray eventMessage(const char *command, const QByteArray &payload)
{
    return wire("event", command, payload);
}

QByteArray webfile(const char *command, const QByteArray &payload)
{
    return wire("webfile", command, payload);
}

QByteArray iq(const QByteArray &payload)
{
    return wire("iq", "currentuserinfoRes", payload);
}

QByteArray nested(const QByteArray &open, const QByteArray &close, int depth, const QByteArray &inner = "1")
{
    return open.repeated(depth) + inner + close.repeated(depth);
}

QByteArray noise(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

QByteArray littleEndian(quint32 value, int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xff));
    return bytes;
}

QByteArray bmpDeclaring(qint32 width, qint32 height)
{
    return "BM" + littleEndian(54 + 16, 4) + littleEndian(0, 4) + littleEndian(54, 4) + littleEndian(40, 4) +
           littleEndian(quint32(width), 4) + littleEndian(quint32(height), 4) + littleEndian(1, 2) +
           littleEndian(32, 2) + QByteArray(24, '\0') + QByteArray(16, '\x7f');
}

QByteArray gifDeclaring(quint16 width, quint16 height)
{
    QByteArray bytes("GIF89a");
    bytes.append(char(width & 0xff)).append(char(width >> 8)).append(char(height & 0xff)).append(char(height >> 8));
    bytes.append("\x80\x00\x00", 3).append(QByteArray(6, '\0'));
    bytes.append("\x2c\x00\x00\x00\x00", 5);
    bytes.append(char(width & 0xff)).append(char(width >> 8)).append(char(height & 0xff)).append(char(height >> 8));
    bytes.append("\x00\x02\x02\x44\x01\x00\x3b", 7);
    return bytes;
}

// Rows that end in an unfinished message leave it in the framer; the check
// that follows starts with ";" as a host resynchronising would.
const QByteArray resync = ";";

qint64 liveBytes()
{
    // What the allocator keeps for later is not the process's to give back.
    malloc_trim(0);
    return testsupport::residentBytes();
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

} // namespace

class HostileCatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void catalogue_data();
    void catalogue();
    void memoryReturnsAfterCatalogue();

private:
    qint64 _baseline = 0;
    int _rows = 0;
};

void HostileCatalogueTest::initTestCase()
{
    hostlinkharness::setUp(nullptr, nullptr);
    // One valid round first, so that what the first use builds counts as baseline.
    hostlinkharness::feed(config("title", "warm up") + eventMessage("showBoxMessage", "warm up"));
    _baseline = liveBytes();
}

void HostileCatalogueTest::catalogue_data()
{
    QTest::addColumn<QByteArray>("hostile");

    // Truncated.
    QTest::newRow("truncated: prefix only") << QByteArray("conf");
    QTest::newRow("truncated: no terminator") << QByteArray("config:title:SGVsbG8=");
    QTest::newRow("truncated: inside Base64") << QByteArray("config:titleHeight:ND");
    QTest::newRow("truncated: address") << QByteArray("event:showUrl:aHR0cDovL");
    QTest::newRow("truncated: JSON reply") << webfile("getFileListRes", "{\"key\":\"a\",\"data\":[{\"key\"");
    QTest::newRow("truncated: user information") << iq("{\"key\":\"a\",\"in");
    QTest::newRow("truncated: image") << config("Icon", testsupport::png(8, 8).left(40));
    QTest::newRow("truncated: colon only") << QByteArray(":");
    QTest::newRow("truncated: group and colon") << QByteArray("config:;event:;webfile:;iq:;feedback:;");
    QTest::newRow("truncated: unterminated tail") << QByteArray("config:title:SGVsbG8");

    // Unknown.
    QTest::newRow("unknown: group") << QByteArray("browser:title:SGk=;");
    QTest::newRow("unknown: config command") << config("titleColour", "1,2,3,4");
    QTest::newRow("unknown: event") << eventMessage("closeWindow", "");
    QTest::newRow("unknown: reply") << webfile("getEverythingRes", "{\"key\":\"a\"}");
    QTest::newRow("unknown: query") << wire("iq", "whoami", "{}");
    QTest::newRow("unknown: group with a space") << QByteArray("config :title:SGk=;");
    QTest::newRow("unknown: group in capitals") << QByteArray("CONFIG:title:SGk=;EVENT:active;");
    QTest::newRow("unknown: command of 10000 letters") << "config:" + QByteArray(10000, 'q') + ":AAAA;";
    QTest::newRow("unknown: feedback from the host")
        << QByteArray("feedback:refresh:;feedback:gotoChannel:YQ==;feedback:savePosition:MSwyLDMsNCwx;");
    QTest::newRow("unknown: requests from the host")
        << QByteArray("webfile:getFileList:YQ==;webfile:startDownload:e30=;iq:currentuserinfo:YQ==;");
    QTest::newRow("unknown: ignored tips commands") << config("tipsWebFileRemoveItem", "x") + config("tipsWebFileRemoveAll", "y");

    // Wrong field counts.
    QTest::newRow("fields: config with two") << QByteArray("config:title;");
    QTest::newRow("fields: reply with two") << QByteArray("webfile:getFileListRes;iq:currentuserinfoRes;");
    QTest::newRow("fields: five") << QByteArray("config:title:SGk=:extra:extra;");
    QTest::newRow("fields: event with six") << QByteArray("event:showBoxMessage:aGk=:x:y:z;");
    QTest::newRow("fields: only separators") << QByteArray(":::::;;;;:;");
    QTest::newRow("fields: empty group and command") << QByteArray("::;::::;");
    QTest::newRow("fields: rect of three") << config("windowsRect", "1,2,3");
    QTest::newRow("fields: colour of two") << config("titleBackgroundColor", "1,2");
    QTest::newRow("fields: box size of one") << config("infoBoxSize", "200");
    QTest::newRow("fields: margins of three") << config("infoBoxMargin", "1,2,3");
    QTest::newRow("fields: rect of a hundred") << config("windowsRect", QByteArray("7,").repeated(100));
    QTest::newRow("fields: empty list items") << config("shadowColor", ",,,") + config("windowsRect", ",,,,");

    // Invalid and partial Base64.
    QTest::newRow("base64: none of the alphabet") << QByteArray("config:title:@@@@;config:titleHeight:%%%;");
    QTest::newRow("base64: no padding") << QByteArray("config:title:SGVsbG8;");
    QTest::newRow("base64: one character") << QByteArray("config:title:S;event:showBoxMessage:S;");
    QTest::newRow("base64: padding only") << QByteArray("config:title:====;");
    QTest::newRow("base64: padding inside") << QByteArray("config:title:SGVs=bG8=;");
    QTest::newRow("base64: URL alphabet") << QByteArray("config:title:-_-_;event:showUrl:__--;");
    QTest::newRow("base64: white space inside") << QByteArray("config:title:SG Vs\nbG\t8=;");
    QTest::newRow("base64: reply decoding to nothing") << QByteArray("webfile:getFileListRes:!!!;iq:currentuserinfoRes:***;");
    QTest::newRow("base64: image cut short") << "config:titleLogoData:" + testsupport::png(16, 16).toBase64().left(61) + ';';
    QTest::newRow("base64: JSON cut short") << "webfile:startDownloadRes:" + QByteArray("{\"key\":\"a\",\"info\":\"b\"}").toBase64().left(13) + ';';

    // NUL bytes.
    QTest::newRow("nul: first byte") << QByteArray("\0config:title:SGk=;", 19);
    QTest::newRow("nul: inside a payload") << QByteArray("config:title:SGVs\0bG8=;config:titleHeight:NDE=;", 46);
    QTest::newRow("nul: inside a command") << QByteArray("config:ti\0tle:SGk=;", 19);
    QTest::newRow("nul: only") << QByteArray(64, '\0');
    QTest::newRow("nul: in the title text") << config("title", QByteArray("a\0b", 3));
    QTest::newRow("nul: in the message text") << eventMessage("showBoxMessage", QByteArray("a\0b", 3));
    QTest::newRow("nul: in reply JSON") << webfile("getFileListRes", QByteArray("{\"key\":\"a\0\",\"data\":[]}", 23));
    QTest::newRow("nul: in the token") << config("accessToken", QByteArray("to\0ken", 6));

    // Text that is not UTF-8.
    QTest::newRow("utf8: invalid bytes in the title") << config("title", "\xff\xfe\xfd");
    QTest::newRow("utf8: overlong NUL") << config("title", "\xc0\x80");
    QTest::newRow("utf8: lone surrogate") << eventMessage("showBoxMessage", "\xed\xa0\x80");
    QTest::newRow("utf8: high bytes on the wire") << QByteArray("config:t\xe9tle:\xff\xfe;event:\x80\x81;");
    QTest::newRow("utf8: cut sequence in the message") << eventMessage("showBoxMessage", "caf\xc3");
    QTest::newRow("utf8: invalid in reply JSON") << webfile("getFileListRes", "{\"key\":\"\xff\",\"data\":[{\"key\":\"\xfe\"}]}");
    QTest::newRow("utf8: invalid in a number") << config("titleHeight", "4\xff" "1");
    QTest::newRow("utf8: invalid in the address") << eventMessage("showUrl", "http://\xff\xfe/");

    // Numbers beyond int and quint64.
    QTest::newRow("numbers: height 2^31") << config("titleHeight", "2147483648");
    QTest::newRow("numbers: height below int") << config("titleHeight", "-2147483649");
    QTest::newRow("numbers: height 2^64") << config("titleHeight", "18446744073709551616");
    QTest::newRow("numbers: height int max") << config("titleHeight", "2147483647");
    QTest::newRow("numbers: left int max") << config("titleLeft", "2147483647") + config("titleRight", "2147483647");
    QTest::newRow("numbers: container 2^32") << config("containerBackgroundColor", "4294967296");
    QTest::newRow("numbers: container 2^64") << config("containerBackgroundColor", "18446744073709551616");
    QTest::newRow("numbers: container -1") << config("containerBackgroundColor", "-1");
    QTest::newRow("numbers: rect of int limits")
        << config("windowsRect", "2147483647,2147483647,2147483647,2147483647,1");
    QTest::newRow("numbers: rect overflowing QRect") << config("windowsRect", "65535,-808565,-131074,-2147483647,0");
    QTest::newRow("numbers: box size of 20 digits") << config("infoBoxSize", "99999999999999999999,1");
    QTest::newRow("numbers: colour parts 2^64")
        << config("titleBackgroundColor", "18446744073709551616,-1,256,99999999999");
    QTest::newRow("numbers: margins of int min") << config("infoBoxMargin", "-2147483648,-2147483648,-2147483648,-2147483648");
    QTest::newRow("numbers: margins overflowing layout") << config("infoBoxMargin", "798410,-1,-2147483648,17592186044414");
    QTest::newRow("numbers: exponent and hex") << config("titleHeight", "1e5") + config("miniWidth", "0x10");
    QTest::newRow("numbers: record sizes of 2^64 and 1e400")
        << webfile("getFileListRes", "{\"key\":\"a\",\"data\":[{\"key\":\"f\",\"fileSize\":1e400,"
                                     "\"createTime\":18446744073709551616,\"downloadOffset\":-1}]}");
    QTest::newRow("numbers: mini width int max") << config("miniWidth", "2147483647");

    // Negative sizes.
    QTest::newRow("negative: rect width and height") << config("windowsRect", "10,10,-800,-600");
    QTest::newRow("negative: box size") << config("infoBoxSize", "-1,-1");
    QTest::newRow("negative: mini width") << config("miniWidth", "-5");
    QTest::newRow("negative: skip") << config("titleSkip", "-100");
    QTest::newRow("negative: margins") << config("infoBoxMargin", "-500,-500,-500,-500");
    QTest::newRow("negative: record size and offset")
        << webfile("getDownloadOffsetRes", "{\"key\":\"a\",\"data\":[{\"key\":\"f\",\"fileSize\":-5,\"downloadOffset\":-9}]}");

    // JSON of the wrong types.
    QTest::newRow("json: list reply an array") << webfile("getFileListRes", "[1,2,3]");
    QTest::newRow("json: key a number") << webfile("getFileListRes", "{\"key\":5,\"data\":[]}");
    QTest::newRow("json: data a string") << webfile("getFileListRes", "{\"key\":\"a\",\"data\":\"x\"}");
    QTest::newRow("json: data of numbers") << webfile("getDownloadOffsetRes", "{\"key\":\"a\",\"data\":[1,true,null]}");
    QTest::newRow("json: record key null") << webfile("getFileListRes", "{\"key\":\"a\",\"data\":[{\"key\":null}]}");
    QTest::newRow("json: download info an object") << webfile("startDownloadRes", "{\"key\":\"a\",\"info\":{\"x\":1}}");
    QTest::newRow("json: user info an object") << iq("{\"key\":\"a\",\"info\":{\"name\":1}}");
    QTest::newRow("json: user key an array") << iq("{\"key\":[\"a\"],\"info\":\"x\"}");
    QTest::newRow("json: restart file key a number") << webfile("restartDownloadRes", "{\"key\":1,\"fileKey\":7}");
    QTest::newRow("json: remove file key an object") << webfile("removeHistoryRes", "{\"key\":1,\"fileKey\":{}}");
    QTest::newRow("json: null") << webfile("removeAllHistoryRes", "null") + iq("null");
    QTest::newRow("json: a string") << webfile("startDownloadRes", "\"key\"") + iq("\"info\"");
    QTest::newRow("json: not JSON") << webfile("getFileListRes", "not json") + iq("{}");

    // Deeply nested JSON.
    QTest::newRow("nested: arrays 10000 deep") << webfile("getFileListRes", nested("[", "]", 10000));
    QTest::newRow("nested: objects 10000 deep") << iq(nested("{\"a\":", "}", 10000));
    QTest::newRow("nested: inside a record")
        << webfile("getFileListRes", "{\"key\":\"a\",\"data\":[{\"key\":\"f\",\"name\":" + nested("[", "]", 5000) + "}]}");
    QTest::newRow("nested: inside the download info")
        << webfile("startDownloadRes", "{\"key\":\"a\",\"info\":" + nested("{\"i\":", "}", 5000) + "}");
    QTest::newRow("nested: unbalanced") << webfile("removeAllHistoryRes", QByteArray("[").repeated(20000));

    // Large payloads.
    QTest::newRow("large: 64 MiB title") << config("title", QByteArray(64 << 20, 'x'));
    QTest::newRow("large: 64 MiB without terminator") << QByteArray("event:showBoxMessage:") + QByteArray(64 << 20, 'A');
    QTest::newRow("large: 1 MiB message") << eventMessage("showBoxMessage", QByteArray(1 << 20, 'm'));
    QTest::newRow("large: 100000 empty messages") << QByteArray(";").repeated(100000);

    // Corrupt and enormous images.
    QTest::newRow("image: PNG declaring 30000 x 30000") << config("titleCloseIconData", testsupport::pngDeclaring(30000, 30000));
    QTest::newRow("image: PNG declaring 2^31 x 2^31") << config("Icon", testsupport::pngDeclaring(0x7fffffffu, 0x7fffffffu));
    QTest::newRow("image: BMP declaring 30000 x 30000") << config("titleLogoData", bmpDeclaring(30000, 30000));
    QTest::newRow("image: BMP of negative height") << config("titleLogoData", bmpDeclaring(16, -2147483647));
    QTest::newRow("image: GIF declaring 65535 x 65535") << config("titleMaxsizeIconData", gifDeclaring(65535, 65535));
    QTest::newRow("image: XPM declaring 30000 x 30000")
        << config("titleRestoreIconData", "/* XPM */\nstatic char *x[] = {\"30000 30000 1 1\", \"a c #ff0000\", \"a\"};");
    QTest::newRow("image: PNG header only") << config("titleMinisizeIconData", testsupport::png(8, 8).left(33));
    QTest::newRow("image: PNG with a broken checksum") << config("Icon", [] {
        QByteArray bytes = testsupport::png(8, 8);
        bytes[30] = char(bytes[30] ^ 0x55);
        return bytes;
    }());
    QTest::newRow("image: noise") << config("Icon", noise(4096, 7));
    QTest::newRow("image: JPEG start only") << config("titleCloseIconData", "\xff\xd8\xff\xe0");
    QTest::newRow("image: empty") << QByteArray("config:titleLogoData:;");

    // Replies with stale, wrong and duplicate keys.
    QTest::newRow("keys: file list for no request") << webfile("getFileListRes", "{\"key\":\"0123456789abcdef0123456789abcdef\",\"data\":[]}");
    QTest::newRow("keys: progress for no request") << webfile("getDownloadOffsetRes", "{\"key\":\"feed\",\"data\":[{\"key\":\"f\",\"status\":2}]}");
    QTest::newRow("keys: download reply for no request") << webfile("startDownloadRes", "{\"key\":\"stale\",\"info\":\"Download started\"}");
    QTest::newRow("keys: user info for no request") << iq("{\"key\":\"stale\",\"info\":\"Ann\"}");
    QTest::newRow("keys: duplicate key members")
        << webfile("getFileListRes", "{\"key\":\"a\",\"key\":\"b\",\"data\":[{\"key\":\"f\",\"key\":\"g\"}]}");
    QTest::newRow("keys: the same reply twice") << webfile("removeAllHistoryRes", "{\"key\":\"k\"}").repeated(2);
    QTest::newRow("keys: empty key") << webfile("restartDownloadRes", "{\"key\":\"\",\"fileKey\":\"\"}") + iq("{\"key\":\"\",\"info\":\"\"}");
    QTest::newRow("keys: key of 100000 characters") << iq("{\"key\":\"" + QByteArray(100000, 'k') + "\",\"info\":\"x\"}");
    QTest::newRow("keys: duplicate records in one list")
        << webfile("getFileListRes", "{\"key\":\"a\",\"data\":[{\"key\":\"f\"},{\"key\":\"f\"},{\"key\":\"f\"}]}");

    // Random bytes.
    QTest::newRow("random: 4 KiB") << noise(4096, 20261208);
    QTest::newRow("random: 64 KiB with separators") << noise(65536, 42).replace('x', ';');
}

void HostileCatalogueTest::catalogue()
{
    QFETCH(QByteArray, hostile);
    hostlinkharness::feed(hostile);

    const QString text = QStringLiteral("still answering after ") + QString::fromLatin1(QTest::currentDataTag());
    hostlinkharness::feed(resync + config("title", text.toUtf8()) + eventMessage("showBoxMessage", text.toUtf8()));
    QCOMPARE(ZuvoChatWBConfigure::Title(), text);
    QCOMPARE(hostlinkharness::shownMessage(), text);
    ++_rows;
}

void HostileCatalogueTest::memoryReturnsAfterCatalogue()
{
    QVERIFY2(_rows >= 100, qPrintable(QString::number(_rows)));
    // Transient copies of a 64 MiB payload run to hundreds of megabytes; what
    // stays must be far less. A sanitizer holds freed memory back for a while.
    const qint64 allowed = (kSanitized ? 320 : 48) * 1024 * 1024;
    const qint64 grown = liveBytes() - _baseline;
    qInfo("resident memory after the catalogue: %+lld KiB", grown >> 10);
    QVERIFY2(grown < allowed, qPrintable(QStringLiteral("grew by %1 MiB").arg(grown >> 20)));
}

QTEST_MAIN(HostileCatalogueTest)
#include "tst_hostilecatalogue.moc"
