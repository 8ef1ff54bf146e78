// Downloads as a user meets them: the real browser started by the real
// reference host on Xvfb with openbox, a page on a loopback HTTP server whose
// links ask for downloads, the save dialog, the host fetching the files, and
// the download panel showing, opening and removing the records. Click points
// come from the browser's own panel code, run here on the same configuration
// and the same records, read from the host's history file. The cases run in
// order on one history: each starts where the one before left off.
#include "browserrun.h"
#include "contentlayout.h"
#include "downloadhistory.h"
#include "hostconfig.h"
#include "httpfixture.h"
#include "panellayout.h"
#include "transport/transport.h"
#include "x11driver.h"
#include "zuvochatwbconfigure.h"
#include "zuvohostrun.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// A helper's failed check ends the case too, not only the helper.
#define RETURN_IF_FAILED()                                                                                             \
    do {                                                                                                               \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

using testsupport::HttpFixture;
using testsupport::HttpResponse;

namespace {

const int timeout = 20000;
const QString accessToken = QStringLiteral("dl-token-51c2");
const QString savedPrefix = QStringLiteral("Download started: ");

QJsonObject hostConfig(const QString &windowsRect)
{
    return {{"title", "Zuvo Downloads"},
            {"windowsRect", windowsRect},
            {"titleHeight", 40},
            {"titleBackgroundColor", "40,90,160,255"},
            {"webFileText", "Downloads"},
            {"webFileBackText", "Back"},
            {"webFileEmptyText", "Nothing downloaded yet"},
            {"webFileSuccessText", "Done"},
            {"webFileFailedText", "Failed"},
            {"webFileOpenInFolderText", "Open folder"},
            {"webFileRedownloadText", "Download again"},
            {"webFileMissedText", "File is gone"},
            {"webFileRemoveAllText", "Clear all"},
            {"webFileRemoveTipsText", "Delete this record?"},
            {"webFileRemoveAllTipsText", "Delete every record?"},
            {"infoBoxOk", "OK"},
            {"infoBoxCancel", "Cancel"},
            {"infoBoxDelete", "Delete"},
            {"infoBoxClean", "Clear"},
            {"infoBoxSize", "320,140"},
            {"accessToken", accessToken}};
}

// Two links that ask for a download, at fixed places on the page.
const QByteArray downloadPage = R"(<!doctype html><html><head><style>
html,body{margin:0;height:100%;background:#ffffff}
a{position:absolute;left:0;width:300px;height:120px;display:block}
</style></head><body>
<a download href="/files/report.bin" style="top:0;background:#ccccee">report</a>
<a download href="/files/broken.bin" style="top:160px;background:#eecccc">broken</a>
</body></html>)";
const QPoint reportLinkOnPage(150, 60);
const QPoint brokenLinkOnPage(150, 220);

QByteArray bodyOf(int size)
{
    QByteArray body(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        body[i] = char(i * 13 + i / 509);
    return body;
}

bool near(QRgb pixel, const QColor &expected, int tolerance = 24)
{
    return qAbs(qRed(pixel) - expected.red()) <= tolerance && qAbs(qGreen(pixel) - expected.green()) <= tolerance &&
           qAbs(qBlue(pixel) - expected.blue()) <= tolerance;
}

// Whether anything but the white background is painted in the rectangle.
bool hasInk(const QImage &shot, const QRect &rect)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (qGray(shot.pixel(x, y)) < 200)
                return true;
        }
    }
    return false;
}

// On the row's line with the most progress fill: the filled share of the bar
// (fill and track pixels together); -1 when the row shows no fill at all.
double progressShare(const QImage &shot, const QRect &row)
{
    const QColor fill(0x6c, 0xa5, 0xd1);
    const QColor track(0xc2, 0xc2, 0xc2);
    int bestFill = 0;
    int bestTrack = 0;
    for (int y = row.top(); y <= row.bottom(); ++y) {
        int filled = 0;
        int tracked = 0;
        for (int x = row.left(); x <= row.right(); ++x) {
            filled += near(shot.pixel(x, y), fill, 12) ? 1 : 0;
            tracked += near(shot.pixel(x, y), track, 6) ? 1 : 0;
        }
        if (filled > bestFill) {
            bestFill = filled;
            bestTrack = tracked;
        }
    }
    return bestFill == 0 ? -1.0 : double(bestFill) / (bestFill + bestTrack);
}

void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeJson(const QString &path, const QJsonObject &object)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(object).toJson()) > 0;
}

} // namespace

class tst_Downloads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void pageDownloadShowsProgressThenOpenFolder();
    void failedDownloadOffersDownloadAgain();
    void historySurvivesHostRestart();
    void deleteAsksFirstThenRemovesTheRecord();
    void clearAllEmptiesThePanel();
    void panelAtDoubleScale();

private:
    QRect client() const { return x11::clientGeometry(_window); }
    // The browser's layout in its own coordinates, which the toolkit scales by
    // _pixelRatio onto the screen.
    QSize layoutSize() const { return client().size() / _pixelRatio; }
    QPoint onScreen(const QPoint &clientPoint) const { return client().topLeft() + clientPoint * _pixelRatio; }
    QRect onScreen(const QRect &clientRect) const
    {
        return QRect(onScreen(clientRect.topLeft()), clientRect.size() * _pixelRatio);
    }
    void click(const QRect &clientRect) const;
    bool dimmed() const;
    x11::WindowId saveDialogOf(qint64 pid) const;
    void mirrorConfiguration(const QString &configPath);

    void startHost(const QString &configPath, const QProcessEnvironment &environment);
    void stopHost();
    QJsonArray records() const;
    QString keyOf(const QString &path) const;
    PanelLayout panel() const { return PanelLayout(layoutSize(), records()); }
    void downloadFromPage(const QPoint &pagePoint, const QString &path);
    void openPanel();
    // Waits until every record's delete mark is on the screen.
    void waitForRows(const PanelLayout &layout, const QStringList &keys);

    HttpFixture _server;
    QTemporaryDir _dir;
    QString _browser;
    QString _configPath;
    QString _historyPath;
    std::unique_ptr<ZuvoHostRun> _host;
    x11::WindowId _window = 0;
    int _pixelRatio = 1;
    QByteArray _reportBody = bodyOf(256 * 1024);
};

void tst_Downloads::initTestCase()
{
    ZuvoChatWBConfigure::init();
    QVERIFY(_server.listenOn());
    _server.setPage("/page", downloadPage);
    _browser = BrowserRun::copyInto(_dir);
    QVERIFY(!_browser.isEmpty());
    _configPath = _dir.filePath(QStringLiteral("host.json"));
    QVERIFY(writeJson(_configPath, hostConfig(QStringLiteral("200,100,900,700"))));
    _historyPath = _dir.filePath(QStringLiteral("history.json"));
    mirrorConfiguration(_configPath);
    startHost(_configPath, QProcessEnvironment::systemEnvironment());
}

void tst_Downloads::cleanupTestCase()
{
    if (_host)
        stopHost();
}

void tst_Downloads::mirrorConfiguration(const QString &configPath)
{
    HostConfig config;
    QStringList errors;
    QVERIFY2(config.load(configPath, &errors), qPrintable(errors.join('\n')));
    transport::shareInstance()->receiveBytes(wireOf(config.messages()));
}

void tst_Downloads::startHost(const QString &configPath, const QProcessEnvironment &environment)
{
    _host = std::make_unique<ZuvoHostRun>(
        QStringList{"--browser", _browser, "--config", configPath, "--history", _historyPath, "--url",
                    _server.url(QStringLiteral("/page")).toString(), "--quiet-browser"},
        environment);
    QTRY_VERIFY_WITH_TIMEOUT(_host->browserPid() > 0, timeout);
    const qint64 pid = _host->browserPid();
    QTRY_COMPARE_WITH_TIMEOUT(x11::visibleWindowsOf(pid).size(), 1, timeout);
    _window = x11::visibleWindowsOf(pid).first();
    QTRY_VERIFY_WITH_TIMEOUT(!client().isEmpty(), timeout);
    // The page is there once its links are painted.
    const QRect view = ContentLayout(layoutSize()).rectOf("webview");
    QTRY_VERIFY_WITH_TIMEOUT(near(x11::screenshot().pixel(onScreen(view.topLeft() + reportLinkOnPage)),
                                  QColor(0xcc, 0xcc, 0xee), 4),
                             timeout);
}

void tst_Downloads::stopHost()
{
    _host->type("quit");
    QTRY_VERIFY_WITH_TIMEOUT(_host->process().state() == QProcess::NotRunning, timeout);
    QCOMPARE(_host->process().exitCode(), 0);
    _host.reset();
    _window = 0;
}

QJsonArray tst_Downloads::records() const
{
    DownloadHistory history;
    QString error;
    if (!history.open(_historyPath, &error))
        qWarning("%s", qPrintable(error));
    QJsonArray list;
    for (const DownloadRecord &record : history.records())
        list.append(record.toBrowserJson());
    return list;
}

QString tst_Downloads::keyOf(const QString &path) const
{
    DownloadHistory history;
    QString error;
    history.open(_historyPath, &error);
    for (const DownloadRecord &record : history.records()) {
        if (record.path == path)
            return record.key;
    }
    return QString();
}

void tst_Downloads::click(const QRect &clientRect) const
{
    QVERIFY2(!clientRect.isEmpty(), "nothing to click");
    x11::click(onScreen(clientRect.center()));
    x11::movePointer(QPoint(1590, 5));
}

x11::WindowId tst_Downloads::saveDialogOf(qint64 pid) const
{
    for (x11::WindowId window : x11::visibleWindowsOf(pid)) {
        if (window != _window && x11::windowName(window) == QLatin1String("Save File"))
            return window;
    }
    return 0;
}

bool tst_Downloads::dimmed() const
{
    // The dimming layer darkens the white of the page or panel, far from any
    // box, link or row.
    const QRect area = client();
    return qGray(x11::screenshot().pixel(area.right() - 20, area.bottom() - 20)) < 240;
}

void tst_Downloads::downloadFromPage(const QPoint &pagePoint, const QString &path)
{
    const qint64 pid = _host->browserPid();
    const QRect view = ContentLayout(layoutSize()).rectOf("webview");
    x11::click(onScreen(view.topLeft() + pagePoint));
    x11::WindowId dialog = 0;
    QTRY_VERIFY_WITH_TIMEOUT((dialog = saveDialogOf(pid)) != 0, timeout);
    // The save dialog opens with its file-name field focused.
    x11::activateWindow(dialog);
    xdotool({"key", "--clearmodifiers", "ctrl+a"});
    xdotool({"type", "--delay", "5", path});
    // The name field's completion list, a window of its own, would take the
    // Return for itself; it closes once the typed name matches nothing.
    QTRY_COMPARE_WITH_TIMEOUT(x11::visibleWindowsOf(pid).size(), 2, timeout);
    xdotool({"key", "Return"});
    QTRY_VERIFY_WITH_TIMEOUT(!x11::visibleWindowsOf(pid).contains(dialog), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!_host->linesStartingWith("host: downloading ").filter(" to " + path).isEmpty(), timeout);

    // The host's "download started" notice comes as a message box.
    QTRY_VERIFY_WITH_TIMEOUT(dimmed(), timeout);
    click(ContentLayout(layoutSize()).messageBoxButtonRect(savedPrefix + path));
    QTRY_VERIFY_WITH_TIMEOUT(!dimmed(), timeout);
}

void tst_Downloads::openPanel()
{
    const int before = _host->linesStartingWith("webfile getFileList ").size();
    click(ContentLayout(layoutSize()).rectOf("webFile"));
    QTRY_COMPARE_WITH_TIMEOUT(_host->linesStartingWith("webfile getFileList ").size(), before + 1, timeout);
}

void tst_Downloads::waitForRows(const PanelLayout &layout, const QStringList &keys)
{
    for (const QString &key : keys)
        QTRY_VERIFY_WITH_TIMEOUT(hasInk(x11::screenshot(), onScreen(layout.deleteMarkRect(key))), timeout);
}

void tst_Downloads::pageDownloadShowsProgressThenOpenFolder()
{
    // Given a server that sends half the file and then waits, the panel shows
    // the record at half progress; once the rest arrives, it offers the folder.
    HttpResponse halfway{200, "application/octet-stream", _reportBody, {}, 0};
    halfway.cutAfterBytes = _reportBody.size() / 2;
    halfway.cut = HttpResponse::Cut::Stall;
    _server.setResponse("/files/report.bin", halfway);
    const QString path = _dir.filePath(QStringLiteral("report.bin"));

    downloadFromPage(reportLinkOnPage, path);
    RETURN_IF_FAILED();
    // The host's request; Qt WebEngine also starts one of its own before it
    // knows the response is a download, and drops it once it does.
    QTRY_VERIFY_WITH_TIMEOUT(_server.stalledCount() >= 1, timeout);
    QCOMPARE(_server.requestsFor("/files/report.bin").value(0).headerValues("X-Access-Token"),
             {accessToken.toUtf8()});
    openPanel();
    RETURN_IF_FAILED();
    const QString key = keyOf(path);
    QVERIFY(!key.isEmpty());

    const QRect row = onScreen(panel().recordRect(key));
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(progressShare(x11::screenshot(), row) - 0.5) < 0.1, timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!_host->linesStartingWith("webfile getDownloadOffset ").filter(key).isEmpty(), timeout);
    x11::keepScreenshot(x11::screenshot().copy(client()), QStringLiteral("downloads-progress-100"));

    _server.resumeStalled();
    QTRY_VERIFY_WITH_TIMEOUT(_host->printed(QStringLiteral("host: downloaded %1, %2 bytes").arg(path).arg(_reportBody.size())),
                             timeout);
    QCOMPARE(contentsOf(path), _reportBody);
    const QRect link = panel().linkRect(key);
    // The link takes the place of the bar and its percentage.
    QTRY_VERIFY_WITH_TIMEOUT(progressShare(x11::screenshot(), row) < 0 && hasInk(x11::screenshot(), onScreen(link)),
                             timeout);

    click(link);
    QTRY_VERIFY_WITH_TIMEOUT(_host->printed("webfile openFileFolder " + key), timeout);
    QTRY_COMPARE_WITH_TIMEOUT(_host->linesStartingWith("host: open").filter(_dir.path()).size(), 1, timeout);
}

void tst_Downloads::failedDownloadOffersDownloadAgain()
{
    _server.setResponse("/files/broken.bin", HttpResponse{404, "text/plain", "gone", {}, 0});
    const QString path = _dir.filePath(QStringLiteral("broken.bin"));
    click(panel().rectOf("webFileBack"));

    downloadFromPage(brokenLinkOnPage, path);
    RETURN_IF_FAILED();
    QTRY_VERIFY_WITH_TIMEOUT(!_host->linesStartingWith("host: download of ").filter("broken.bin failed").isEmpty(),
                             timeout);
    QVERIFY(!QFile::exists(path));
    openPanel();
    RETURN_IF_FAILED();
    const QString key = keyOf(path);
    const QRect again = panel().linkRect(key);
    QTRY_VERIFY_WITH_TIMEOUT(hasInk(x11::screenshot(), onScreen(again)), timeout);
    x11::keepScreenshot(x11::screenshot().copy(client()), QStringLiteral("downloads-failed-100"));

    _server.setResponse("/files/broken.bin", HttpResponse{200, "application/octet-stream", "mended", {}, 0});
    click(again);
    QTRY_VERIFY_WITH_TIMEOUT(!_host->linesStartingWith("webfile restartDownload ").filter(key).isEmpty(), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(_host->printed("host: downloaded " + path + ", 6 bytes"), timeout);
    QCOMPARE(contentsOf(path), QByteArray("mended"));
    // Polling brings the finished state: "Open folder" replaces the wider
    // "Download again", whose part left of it goes blank.
    const QRect openFolder = panel().linkRect(key);
    const QRect leftOfOpenFolder(again.left(), again.top(), openFolder.left() - again.left(), again.height());
    QVERIFY(leftOfOpenFolder.width() > 0);
    QTRY_VERIFY_WITH_TIMEOUT(hasInk(x11::screenshot(), onScreen(openFolder))
                                 && !hasInk(x11::screenshot(), onScreen(leftOfOpenFolder)),
                             timeout);
}

void tst_Downloads::historySurvivesHostRestart()
{
    const QJsonArray before = records();
    QCOMPARE(before.size(), 2);
    stopHost();
    RETURN_IF_FAILED();
    startHost(_configPath, QProcessEnvironment::systemEnvironment());
    RETURN_IF_FAILED();
    openPanel();
    RETURN_IF_FAILED();
    const PanelLayout layout = panel();
    QStringList keys;
    for (const QJsonValue &record : before)
        keys.append(record.toObject().value("key").toString());
    waitForRows(layout, keys);
    RETURN_IF_FAILED();
    for (const QString &key : keys)
        QVERIFY(hasInk(x11::screenshot(), onScreen(layout.linkRect(key))));
    x11::keepScreenshot(x11::screenshot().copy(client()), QStringLiteral("downloads-after-restart-100"));
}

void tst_Downloads::deleteAsksFirstThenRemovesTheRecord()
{
    // The newer record is the first row, so the older one's row is the last
    // and is left blank once it has gone.
    const QString path = _dir.filePath(QStringLiteral("report.bin"));
    const QString key = keyOf(path);
    const PanelLayout layout = panel();
    const QRect row = onScreen(layout.recordRect(key));
    QVERIFY(row.top() > onScreen(layout.recordRect(keyOf(_dir.filePath("broken.bin")))).top());

    click(layout.deleteMarkRect(key));
    QTRY_VERIFY_WITH_TIMEOUT(dimmed(), timeout);
    QVERIFY(_host->linesStartingWith("webfile removeHistory ").isEmpty());
    click(layout.removalConfirmRect(false));
    QTRY_VERIFY_WITH_TIMEOUT(!_host->linesStartingWith("webfile removeHistory ").filter(key).isEmpty(), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!dimmed() && !hasInk(x11::screenshot(), row), timeout);
    QCOMPARE(records().size(), 1);
    QCOMPARE(contentsOf(path), _reportBody);
}

void tst_Downloads::clearAllEmptiesThePanel()
{
    const PanelLayout layout = panel();
    const QRect emptyText = PanelLayout(layoutSize(), {}).rectOf("emptyText");
    QVERIFY(!emptyText.isEmpty());
    QVERIFY(!hasInk(x11::screenshot(), onScreen(emptyText)));

    click(layout.rectOf("clearAll"));
    QTRY_VERIFY_WITH_TIMEOUT(dimmed(), timeout);
    click(layout.removalConfirmRect(true));
    QTRY_VERIFY_WITH_TIMEOUT(!_host->linesStartingWith("webfile removeAllHistory ").isEmpty(), timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!dimmed() && hasInk(x11::screenshot(), onScreen(emptyText)), timeout);
    QCOMPARE(records().size(), 0);
    QCOMPARE(contentsOf(_dir.filePath("broken.bin")), QByteArray("mended"));
    x11::keepScreenshot(x11::screenshot().copy(client()), QStringLiteral("downloads-empty-100"));
}

void tst_Downloads::panelAtDoubleScale()
{
    // Given a history with a finished file, one deleted by hand and a failed
    // one, and a browser whose toolkit scales by two, the panel is drawn at
    // twice the size, and its links are where the 100 % layout says, doubled.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QString present = _dir.filePath(QStringLiteral("broken.bin"));
    const auto stored = [&](const QString &key, const QString &path, int status, qint64 age) {
        return QJsonObject{{"key", key},     {"path", path},         {"url", "http://127.0.0.1/x"},
                           {"status", status}, {"createTime", double(now - age)}, {"updateTime", double(now - age)},
                           {"fileSize", 6},  {"downloadOffset", 6}};
    };
    stopHost();
    RETURN_IF_FAILED();
    QVERIFY(writeJson(_historyPath, {{"records", QJsonArray{stored("ready", present, 2, 1000),
                                                            stored("gone", _dir.filePath("gone.pdf"), 2, 2000),
                                                            stored("failed", _dir.filePath("failed.zip"), 3, 3000)}}}));
    const QString configPath = _dir.filePath(QStringLiteral("host200.json"));
    QVERIFY(writeJson(configPath, hostConfig(QStringLiteral("100,50,700,500"))));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    _pixelRatio = 2;
    startHost(configPath, environment);
    RETURN_IF_FAILED();
    openPanel();
    RETURN_IF_FAILED();

    const PanelLayout layout = panel();
    waitForRows(layout, {QStringLiteral("ready"), QStringLiteral("gone"), QStringLiteral("failed")});
    RETURN_IF_FAILED();
    x11::keepScreenshot(x11::screenshot().copy(client()), QStringLiteral("downloads-200"));
    click(layout.linkRect(QStringLiteral("failed")));
    QTRY_VERIFY_WITH_TIMEOUT(!_host->linesStartingWith("webfile restartDownload ").filter("failed").isEmpty(), timeout);
}

QTEST_MAIN(tst_Downloads)
#include "x11_downloads.moc"
