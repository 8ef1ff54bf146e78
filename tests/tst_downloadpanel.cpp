// The download-history panel: rows painted as pixels at 100 % and 150 %,
// hit tests at the points the row geometry gives, and the panel driven
// through the window by a host on a real local socket: list, progress and
// polling, removals with their confirmation, download again, the keyboard,
// the tooltip, and the way back to the page.
#include "downloadfile/downloadeventstruct.h"
#include "downloadfile/downloadfiledelegate.h"
#include "downloadfile/downloadfilemodel.h"
#include "downloadfile/downloadfiletree.h"
#include "downloadfile/downloadfiletreefoot.h"
#include "downloadfile/modelitem.h"
#include "hostlink.h"
#include "testsupport.h"
#include "transport/transport.h"
#include "zuvochatwbconfigure.h"
#include "zuvochatwebbroswer.h"
#include "zuvochatwebbroswer_private.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>

#include <memory>

using C = ZuvoChatWBConfigure;
using Impl = ZuvoChatWebBroswer_impl;
Q_DECLARE_METATYPE(C::DBIScale)

namespace {

const QString kPage = QStringLiteral("data:text/html,<title>page</title><p>hello</p>");
// 5 March 2024, 10:00 local time, and the same day one hour later.
const qint64 kMorning = QDateTime(QDate(2024, 3, 5), QTime(10, 0)).toMSecsSinceEpoch();
const qint64 kLater = kMorning + 3600 * 1000;
const qint64 kDayBefore = kMorning - 24 * 3600 * 1000;

QJsonObject record(const QString &key, qint64 created, int status, bool exists = true)
{
    return QJsonObject{{"key", key},          {"name", key + ".pdf"}, {"createTime", double(created)},
                       {"fileSize", 1000},    {"status", status},     {"downloadOffset", 453},
                       {"fileExists", exists}};
}

QByteArray replyJson(const QString &id, const QJsonArray &data)
{
    return QJsonDocument(QJsonObject{{"key", id}, {"data", data}}).toJson(QJsonDocument::Compact);
}

bool isBlue(QRgb p)
{
    return qBlue(p) > qRed(p) + 40;
}

bool isInk(QRgb p)
{
    return qRed(p) < 245 || qGreen(p) < 245 || qBlue(p) < 245;
}

bool isRed(QRgb p)
{
    return qRed(p) > 180 && qGreen(p) < 110 && qBlue(p) < 110;
}

// Items and a model to paint from, without any view.
struct RowFixture {
    ModelItemRoot root;
    DownloadFileModel model{&root, nullptr};

    QModelIndex add(const QJsonObject &json)
    {
        auto *file = new ModelItemFile(json.value("key").toString());
        QJsonObject copy = json;
        file->fromJson(copy);
        model.insertItem(file);
        return model.index(file);
    }
    ModelItemFile *file(const QModelIndex &index) const
    {
        return static_cast<ModelItemFile *>(index.internalPointer());
    }
};

QStyleOptionViewItem optionFor(const DownloadFileDelegate &delegate, const QModelIndex &index, int width)
{
    QStyleOptionViewItem option;
    option.state = QStyle::State_Enabled;
    option.rect = QRect(QPoint(0, 0), QSize(width, delegate.sizeHint(option, index).height()));
    return option;
}

QImage paintRow(const DownloadFileDelegate &delegate, const QModelIndex &index, int width = 800)
{
    const QStyleOptionViewItem option = optionFor(delegate, index, width);
    QImage image(option.rect.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    delegate.paint(&painter, option, index);
    return image;
}

struct Extent {
    int first = -1;
    int last = -1;
};

// The unbroken run of pixels on line y that starts at x and satisfies pred.
template <typename Pred>
Extent runFrom(const QImage &image, int x, int y, Pred pred)
{
    Extent extent;
    if (x < 0)
        return extent;
    extent.first = x;
    extent.last = x;
    while (extent.last + 1 < image.width() && pred(image.pixel(extent.last + 1, y)))
        ++extent.last;
    return extent;
}

template <typename Pred>
int firstIn(const QImage &image, int y, Pred pred)
{
    for (int x = 0; x < image.width(); ++x) {
        if (pred(image.pixel(x, y)))
            return x;
    }
    return -1;
}

template <typename Pred>
int countIn(const QImage &image, const QRect &area, Pred pred)
{
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            count += pred(image.pixel(x, y)) ? 1 : 0;
    return count;
}

QString commandOf(ILink *link, Qt::MouseButton button)
{
    QString word;
    if (link)
        link->onClick(button, [&word](const QString &command, const QString &key) { word = command + ':' + key; });
    delete link;
    return word;
}

} // namespace

class DownloadPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void progressFillsItsShare_data();
    void progressFillsItsShare();
    void failedAndMissingRows_data();
    void failedAndMissingRows();
    void separatorRuleAndDateText();
    void hitTest_data();
    void hitTest();

    void panelOpensAndBackReturns();
    void listReplies_data();
    void listReplies();
    void pollingStopsItselfAndSkipsLateReplies();
    void removeOneAsksFirst();
    void removeAllWithAnyKey();
    void linksReachTheHostAndRestartPolling();
    void keyboardAndToolTip();

private:
    DownloadFileTree *openPanel();
    DownloadFileTree *openPanelWith(const QJsonArray &records);
    InformBox *openBox(const QString &text);
    void answerBox(const char *button);
    QString lastId(const QString &command) const;
    void sendReply(const QString &command, const QByteArray &json);
    void click(QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton);
    QPoint pointOf(DownloadFileTree *panel, const QString &key, bool link);

    HostLink _host;
    ZuvoChatWebBroswer *_window = nullptr;
};

void DownloadPanelTest::initTestCase()
{
    C::init();
    QLoggingCategory::setFilterRules(QStringLiteral("zuvo.panel.debug=false"));
    QVERIFY(testsupport::connectBrowserTo(_host, QStringLiteral("panel")));
}

void DownloadPanelTest::init()
{
    C::init();
    _host.clearReceived();
}

void DownloadPanelTest::cleanup()
{
    C::SetRealScale(C::dbisAuto);
    ZuvoChatWebBroswer::destory();
    _window = nullptr;
}

void DownloadPanelTest::progressFillsItsShare_data()
{
    QTest::addColumn<C::DBIScale>("scale");
    QTest::addColumn<int>("perMille");
    QTest::newRow("45.3 % at 100 %") << C::dbisOne << 453;
    QTest::newRow("45.3 % at 150 %") << C::dbisOneAndHalf << 453;
    QTest::newRow("100 % at 150 %") << C::dbisOneAndHalf << 1000;
}

void DownloadPanelTest::progressFillsItsShare()
{
    QFETCH(C::DBIScale, scale);
    QFETCH(int, perMille);
    C::SetRealScale(scale);
    DownloadFileDelegate delegate(nullptr);
    RowFixture rows;
    QJsonObject json = record("run", kMorning, 1);
    json["downloadOffset"] = perMille;
    json["name"] = QStringLiteral("a name far too long to fit beside the bar, so it is elided.pdf");
    const QModelIndex index = rows.add(json);
    const QImage image = paintRow(delegate, index);

    // At 100 % a record row is 120 high and its band 40, so the bar sits on
    // the band's middle line; the round caps stick out half a pen each side.
    const int rowHeight = C::convertScale(120);
    QCOMPARE(image.height(), rowHeight);
    const int bandTop = C::convertScale(40);
    const int barY = bandTop + (rowHeight - 2 * bandTop) / 2;
    const double cap = C::convertScale(10) / 2.0;
    const int start = firstIn(image, barY, isBlue);
    QVERIFY(start >= 0);
    const Extent track = runFrom(image, start, barY, isInk);
    const Extent fill = runFrom(image, start, barY, isBlue);
    const double trackLength = track.last + 1 - track.first - 2 * cap;
    QVERIFY2(qAbs(trackLength - C::convertScale(150)) <= 1.5, qPrintable(QString::number(trackLength)));
    const double share = (fill.last + 1 - fill.first - 2 * cap) / trackLength;
    QVERIFY2(qAbs(share - perMille / 1000.0) < 0.015, qPrintable(QString::number(share)));

    // The elided name keeps clear of the bar's round cap.
    const QRect beforeCap(start - 2 - C::convertScale(6), bandTop, C::convertScale(6), rowHeight - 2 * bandTop);
    QCOMPARE(countIn(image, beforeCap, isInk), 0);
}

void DownloadPanelTest::failedAndMissingRows_data()
{
    QTest::addColumn<C::DBIScale>("scale");
    QTest::newRow("100 %") << C::dbisOne;
    QTest::newRow("150 %") << C::dbisOneAndHalf;
}

void DownloadPanelTest::failedAndMissingRows()
{
    QFETCH(C::DBIScale, scale);
    C::SetRealScale(scale);
    DownloadFileDelegate delegate(nullptr);
    RowFixture rows;
    const QModelIndex failed = rows.add(record("failed", kMorning, 3));
    const QModelIndex missing = rows.add(record("missing", kLater, 2, false));
    const QModelIndex ready = rows.add(record("ready", kDayBefore, 2, true));
    const int width = 800;
    const QRect band(0, C::convertScale(40), width, C::convertScale(40));

    // Failed: the link right-aligned at the text edge, the failure text red.
    const QImage failedImage = paintRow(delegate, failed, width);
    const auto geometry = delegate.rowGeometry(optionFor(delegate, failed, width).rect, *rows.file(failed));
    QCOMPARE(geometry.link.right(), width - 1 - C::convertScale(58) - C::convertScale(5));
    QVERIFY(countIn(failedImage, geometry.link, isInk) > 0);
    QCOMPARE(countIn(failedImage, QRect(geometry.link.right() + 2, band.top(), width, band.height()), isInk), 0);
    QVERIFY(countIn(failedImage, band, isRed) > 20);

    // Missing: no link, and nothing in the band darker than the gray text.
    const auto isDark = [](QRgb p) { return qGray(p) < 0x80; };
    const QImage missingImage = paintRow(delegate, missing, width);
    const QRect textArea = band.adjusted(C::convertScale(58) + C::convertScale(60), 0, 0, 0);
    QCOMPARE(countIn(missingImage, textArea, isDark), 0);
    QVERIFY(countIn(paintRow(delegate, ready, width), textArea, isDark) > 0);
    QVERIFY(delegate.rowGeometry(optionFor(delegate, missing, width).rect, *rows.file(missing)).link.isNull());
}

void DownloadPanelTest::separatorRuleAndDateText()
{
    DownloadFileDelegate delegate(nullptr);
    RowFixture rows;
    const QModelIndex newer = rows.add(record("newer", kLater, 0));
    const QModelIndex older = rows.add(record("older", kMorning, 0));
    const QModelIndex dayBefore = rows.add(record("before", kDayBefore, 0));
    const auto ruleAt = [&](const QModelIndex &index) {
        const QImage image = paintRow(delegate, index);
        return QColor(image.pixel(58 + 5, image.height() - 2)) == QColor(0xe2, 0xe2, 0xe2);
    };
    QVERIFY(ruleAt(newer));
    QVERIFY(!ruleAt(older)); // last of a day that is not the last day
    QVERIFY(ruleAt(dayBefore)); // the very last row

    // The day row: #eeeeee with "03-05" at the left margin, in the 12-pixel font.
    const QModelIndex day = rows.model.index(0, 0);
    const QImage dayImage = paintRow(delegate, day);
    QCOMPARE(dayImage.height(), 30);
    QImage expected(dayImage.size(), QImage::Format_RGB32);
    expected.fill(QColor(0xee, 0xee, 0xee));
    {
        QPainter painter(&expected);
        QFont font = C::font();
        font.setPixelSize(12);
        painter.setFont(font);
        painter.setPen(QColor(0x99, 0x99, 0x99));
        const QFontMetrics metrics(font);
        painter.drawText(58, (30 - metrics.height()) / 2 + metrics.ascent(), QStringLiteral("03-05"));
    }
    QCOMPARE(dayImage, expected);
}

void DownloadPanelTest::hitTest_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("where");
    QTest::addColumn<Qt::CursorShape>("shape");
    QTest::addColumn<QString>("command");

    QTest::newRow("delete mark, top left") << 1 << true << "mark-top-left" << Qt::PointingHandCursor
                                           << "removedownloadfile:k";
    QTest::newRow("delete mark, bottom right") << 3 << true << "mark-bottom-right" << Qt::PointingHandCursor
                                               << "removedownloadfile:k";
    QTest::newRow("redownload link") << 3 << true << "link" << Qt::PointingHandCursor << "redownloadfile:k";
    QTest::newRow("open-in-folder link edge") << 2 << true << "link-right-edge" << Qt::PointingHandCursor
                                              << "openfilefolder:k";
    QTest::newRow("beside the link") << 2 << true << "left-of-link" << Qt::ArrowCursor << "";
    QTest::newRow("missing file has no link") << 2 << false << "link" << Qt::ArrowCursor << "";
    QTest::newRow("downloading row elsewhere") << 1 << true << "middle" << Qt::ArrowCursor << "";
    QTest::newRow("day row leaves the cursor") << -1 << true << "middle" << Qt::WaitCursor << "";
}

void DownloadPanelTest::hitTest()
{
    QFETCH(int, status);
    QFETCH(bool, exists);
    QFETCH(QString, where);
    QFETCH(Qt::CursorShape, shape);
    QFETCH(QString, command);
    DownloadFileDelegate delegate(nullptr);
    RowFixture rows;
    const QModelIndex file = rows.add(record("k", kMorning, qMax(status, 0), exists));
    const QModelIndex index = status < 0 ? file.parent() : file;
    const QRect rect(0, 200, 800, delegate.sizeHint(QStyleOptionViewItem(), index).height());
    // The link's geometry as an existing file would have it, so the missing
    // file's row is probed exactly where a link would be.
    QJsonObject linked = record("k", kMorning, 2, true);
    ModelItemFile probe(QStringLiteral("k"));
    probe.fromJson(linked);
    const auto geometry = delegate.rowGeometry(rect, probe);
    const QMap<QString, QPoint> points{
        {"mark-top-left", geometry.deleteMark.topLeft()},
        {"mark-bottom-right", geometry.deleteMark.bottomRight()},
        {"link", geometry.link.center()},
        {"link-right-edge", QPoint(geometry.link.right(), geometry.link.bottom())},
        {"left-of-link", QPoint(geometry.link.left() - 1, geometry.link.center().y())},
        {"middle", rect.center()},
    };

    Qt::CursorShape got = Qt::WaitCursor;
    ILink *link = nullptr;
    delegate.getState(points.value(where), rect, index, got, link);
    QCOMPARE(got, shape);
    QCOMPARE(link != nullptr, !command.isEmpty());
    if (link) {
        auto *again = link;
        delegate.getState(points.value(where), rect, index, got, again);
        QCOMPARE(commandOf(again, Qt::RightButton), QString());
    }
    QCOMPARE(commandOf(link, Qt::LeftButton), command);
}

DownloadFileTree *DownloadPanelTest::openPanel()
{
    if (!_window) {
        _window = ZuvoChatWebBroswer::newZuvoChatWebBroswer(kPage, nullptr);
        if (!QTest::qWaitForWindowExposed(_window))
            return nullptr;
    }
    auto *webFile = _window->impl()->findChild<QWidget *>(QStringLiteral("webFile"));
    click(webFile, webFile->rect().center());
    return _window->impl()->fileTree();
}

// Opens the panel and answers its list request with records.
DownloadFileTree *DownloadPanelTest::openPanelWith(const QJsonArray &records)
{
    DownloadFileTree *panel = openPanel();
    if (!QTest::qWaitFor([this] { return !lastId("getFileList").isEmpty(); }, 5000))
        return nullptr;
    sendReply("getFileListRes", replyJson(lastId("getFileList"), records));
    if (!QTest::qWaitFor([panel] { return panel->treeView()->isVisible(); }, 5000))
        return nullptr;
    return panel;
}

// The one confirmation box open, provided it asks text.
InformBox *DownloadPanelTest::openBox(const QString &text)
{
    const QList<InformBox *> boxes = _window->impl()->findChildren<InformBox *>();
    if (boxes.size() != 1 || boxes.first()->findChild<QLabel *>()->text() != text)
        return nullptr;
    return boxes.first();
}

void DownloadPanelTest::answerBox(const char *button)
{
    auto *answer = _window->impl()->findChild<InformBox *>()->findChild<QWidget *>(QLatin1String(button));
    click(answer, answer->rect().center());
}

QString DownloadPanelTest::lastId(const QString &command) const
{
    const auto messages = _host.receivedCommands(command);
    if (messages.isEmpty())
        return QString();
    const QString text = messages.last().text();
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    return object.isEmpty() ? text : object.value("key").toString();
}

void DownloadPanelTest::sendReply(const QString &command, const QByteArray &json)
{
    _host.send(QStringLiteral("webfile"), command, json);
}

void DownloadPanelTest::click(QWidget *widget, QPoint at, Qt::MouseButton button)
{
    QTest::mousePress(widget, button, Qt::NoModifier, at);
    QTest::mouseRelease(widget, button, Qt::NoModifier, at);
}

QPoint DownloadPanelTest::pointOf(DownloadFileTree *panel, const QString &key, bool link)
{
    TreeView *tree = panel->treeView();
    ModelItemFile *file = panel->record(key);
    const QRect rect = tree->visualRect(panel->model()->index(file));
    auto *delegate = qobject_cast<DownloadFileDelegate *>(tree->itemDelegate());
    const auto geometry = delegate->rowGeometry(rect, *file);
    return link ? geometry.link.center() : geometry.deleteMark.center();
}

void DownloadPanelTest::panelOpensAndBackReturns()
{
    DownloadFileTree *panel = openPanel();
    QVERIFY(panel);
    auto *impl = _window->impl();
    auto *back = impl->findChild<QWidget *>(QStringLiteral("webFileBack"));
    QVERIFY(panel->isVisible());
    QVERIFY(!impl->webView()->isVisible());
    QVERIFY(back->isVisible());
    QCOMPARE(panel->geometry(), impl->webView()->geometry());
    QTRY_COMPARE(_host.receivedCommands("getFileList").size(), 1);

    // The empty state shows the host's text as it stands, never as markup.
    auto *emptyText = panel->findChild<QLabel *>(QStringLiteral("emptyText"));
    QVERIFY(emptyText->isVisible());
    QCOMPARE(emptyText->textFormat(), Qt::PlainText);

    click(back, back->rect().center());
    QVERIFY(impl->webView()->isVisible());
    QVERIFY(!panel->isVisible());
    QVERIFY(!back->isVisible());

    // Opened again within the second: shown, but the host is not asked again.
    openPanel();
    QVERIFY(panel->isVisible());
    QCOMPARE(_host.receivedCommands("getFileList").size(), 1);

    // Any new address returns to the page.
    ZuvoChatWebBroswer::newZuvoChatWebBroswer(kPage, nullptr);
    QVERIFY(impl->webView()->isVisible());
    QVERIFY(!panel->isVisible());
}

void DownloadPanelTest::listReplies_data()
{
    QTest::addColumn<QString>("reply"); // $ID is the pending request's id
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("statusOfA");

    const auto json = [](const QJsonArray &data) { return QString::fromUtf8(replyJson("$ID", data)); };
    QTest::newRow("two records") << json({record("a", kMorning, 2), record("b", kLater, 2)}) << true
                                 << QStringList{"b", "a"} << 2;
    QTest::newRow("no records keeps the empty state") << json({}) << true << QStringList{} << -1;
    QTest::newRow("data not an array") << R"({"key":"$ID","data":5})" << true << QStringList{} << -1;
    QTest::newRow("a duplicate key updates the first")
        << json({record("a", kMorning, 1), record("a", kMorning, 3)}) << true << QStringList{"a"} << 3;
    QTest::newRow("non-objects and empty keys are skipped")
        << json({5, "text", QJsonObject{{"name", "x.pdf"}}, record("", kMorning, 2), record("a", kMorning, 2)})
        << true << QStringList{"a"} << 2;
    QTest::newRow("another id") << json({record("a", kMorning, 2)}).replace("$ID", "other") << false
                                << QStringList{} << -1;
    QTest::newRow("no key") << R"({"data":[]})" << false << QStringList{} << -1;
    QTest::newRow("not JSON") << "$ID" << false << QStringList{} << -1;
}

void DownloadPanelTest::listReplies()
{
    QFETCH(QString, reply);
    QFETCH(bool, accepted);
    QFETCH(QStringList, keys);
    QFETCH(int, statusOfA);
    DownloadFileTree *panel = openPanel();
    QTRY_VERIFY(!lastId("getFileList").isEmpty());
    const QString id = lastId("getFileList");
    sendReply("getFileListRes", reply.replace("$ID", id).toUtf8());
    // The right reply after it counts only when the first one did not; a
    // message box behind both tells when the two have been handled.
    sendReply("getFileListRes", replyJson(id, {record("late", kDayBefore, 2)}));
    _host.sendText(QStringLiteral("event"), QStringLiteral("showBoxMessage"), QStringLiteral("sync"));
    QTRY_COMPARE(_window->impl()->findChildren<InformBox *>().size(), 1);

    if (!accepted)
        keys = QStringList{"late"};
    QStringList shown;
    for (int g = 0; g < panel->model()->rowCount(); ++g) {
        const QModelIndex group = panel->model()->index(g, 0);
        for (int r = 0; r < panel->model()->rowCount(group); ++r)
            shown << static_cast<ModelItemFile *>(panel->model()->index(r, 0, group).internalPointer())->key();
    }
    QCOMPARE(shown, keys);
    QVERIFY(panel->isPolling());
    QCOMPARE(panel->treeView()->isVisible(), !keys.isEmpty());
    QCOMPARE(panel->foot()->isVisible(), !keys.isEmpty());
    if (statusOfA >= 0)
        QCOMPARE(int(panel->record("a")->status()), statusOfA);
}

void DownloadPanelTest::pollingStopsItselfAndSkipsLateReplies()
{
    DownloadFileTree *panel = openPanelWith({record("run", kMorning, 1), record("done", kLater, 2)});
    QVERIFY(panel);
    // Only running downloads are polled, about once a second.
    QTRY_COMPARE_WITH_TIMEOUT(_host.receivedCommands("getDownloadOffset").size(), 1, 3000);
    const QJsonObject request =
        QJsonDocument::fromJson(_host.receivedCommands("getDownloadOffset").first().payload).object();
    QCOMPARE(request.value("fileList").toArray(), QJsonArray{"run"});
    const QString firstId = request.value("key").toString();

    // No answer: three ticks are skipped, the fourth asks again under a new id.
    QTRY_COMPARE_WITH_TIMEOUT(_host.receivedCommands("getDownloadOffset").size(), 2, 6500);
    const QString secondId = lastId("getDownloadOffset");
    QVERIFY(secondId != firstId);
    QJsonObject progress{{"key", "run"}, {"downloadOffset", 900}};
    sendReply("getDownloadOffsetRes", replyJson(firstId, {progress}));
    QJsonObject finished{{"key", "run"}, {"status", 2}, {"downloadOffset", 1000}};
    sendReply("getDownloadOffsetRes", replyJson(secondId, {finished, QJsonObject{{"key", "unknown"}}}));
    QTRY_COMPARE(panel->record("run")->status(), ModelItemFile::ModelItemStatusReady);
    QCOMPARE(panel->record("run")->downloadOffset(), 1000ull);
    QVERIFY(!panel->record("unknown"));
    // The next tick finds nothing running and stops without sending.
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isPolling(), 3000);
    QCOMPARE(_host.receivedCommands("getDownloadOffset").size(), 2);
}

void DownloadPanelTest::removeOneAsksFirst()
{
    DownloadFileTree *panel = openPanelWith({record("a", kMorning, 2), record("b", kDayBefore, 2)});
    QVERIFY(panel);
    Impl *impl = _window->impl();
    TreeView *tree = panel->treeView();

    // Cancelled: nothing reaches the host.
    click(tree->viewport(), pointOf(panel, "a", false));
    QTRY_VERIFY(openBox(C::WebFileRemoveTipsText()));
    answerBox("cancelButton");
    QTRY_VERIFY(impl->findChildren<InformBox *>().isEmpty());
    QCOMPARE(_host.receivedCommands("removeHistory").size(), 0);

    // Confirmed: the host is asked, and its reply removes the row and its day.
    click(tree->viewport(), pointOf(panel, "a", false));
    QTRY_VERIFY(openBox(C::WebFileRemoveTipsText()));
    answerBox("confirmButton");
    QTRY_COMPARE(_host.receivedCommands("removeHistory").size(), 1);
    const QJsonObject request =
        QJsonDocument::fromJson(_host.receivedCommands("removeHistory").first().payload).object();
    QCOMPARE(request.value("fileKey").toString(), QStringLiteral("a"));
    QCOMPARE(request.value("key").toString().size(), 32);
    QSignalSpy removed(panel->model(), &QAbstractItemModel::rowsRemoved);
    sendReply("removeHistoryRes", R"({"key":"x","fileKey":"a"})");
    QTRY_COMPARE(removed.count(), 2);
    QVERIFY(!panel->record("a"));
    QCOMPARE(panel->model()->rowCount(), 1);

    sendReply("removeHistoryRes", R"({"key":"x","fileKey":"b"})");
    QTRY_VERIFY(!panel->treeView()->isVisible());
    QVERIFY(panel->findChild<QLabel *>("emptyText")->isVisible());
}

void DownloadPanelTest::removeAllWithAnyKey()
{
    DownloadFileTree *panel = openPanelWith({record("a", kMorning, 2), record("b", kDayBefore, 1)});
    QVERIFY(panel);
    auto *clearAll = panel->foot()->findChild<QPushButton *>("clearAll");
    QCOMPARE(clearAll->text(), C::WebFileRemoveAllText());
    clearAll->click();
    QTRY_VERIFY(openBox(C::WebFileRemoveAllTipsText()));
    answerBox("confirmButton");
    QTRY_COMPARE(_host.receivedCommands("removeAllHistory").size(), 1);

    sendReply("removeAllHistoryRes", R"({"key":"never-sent"})");
    QTRY_VERIFY(!panel->treeView()->isVisible());
    QCOMPARE(panel->model()->rowCount(), 0);
    QVERIFY(!panel->record("a") && !panel->record("b"));
}

void DownloadPanelTest::linksReachTheHostAndRestartPolling()
{
    DownloadFileTree *panel = openPanelWith({record("failed", kMorning, 3), record("ready", kDayBefore, 2)});
    QVERIFY(panel);
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isPolling(), 3000);
    TreeView *tree = panel->treeView();

    // A right click on a link does nothing and selects nothing.
    click(tree->viewport(), pointOf(panel, "failed", true), Qt::RightButton);
    click(tree->viewport(), pointOf(panel, "ready", true));
    QTRY_COMPARE(_host.receivedCommands("openFileFolder").size(), 1);
    QCOMPARE(_host.receivedCommands("openFileFolder").first().text(), QStringLiteral("ready"));
    QCOMPARE(_host.receivedCommands("restartDownload").size(), 0);

    click(tree->viewport(), pointOf(panel, "failed", true));
    QTRY_COMPARE(_host.receivedCommands("restartDownload").size(), 1);
    sendReply("restartDownloadRes", R"({"key":"x","fileKey":"failed"})");
    QTRY_COMPARE(panel->record("failed")->status(), ModelItemFile::ModelItemStatusDownloading);
    QVERIFY(panel->isPolling());
    QTRY_COMPARE_WITH_TIMEOUT(_host.receivedCommands("getDownloadOffset").size(), 1, 3000);

    // The pointer over the delete mark gets the hand; a day row keeps it.
    tree->updateCursor(pointOf(panel, "ready", false));
    QCOMPARE(tree->cursor().shape(), Qt::PointingHandCursor);
    tree->updateCursor(tree->visualRect(panel->model()->index(0, 0)).center());
    QCOMPARE(tree->cursor().shape(), Qt::PointingHandCursor);
}

void DownloadPanelTest::keyboardAndToolTip()
{
    QJsonObject running = record("run", kLater, 1);
    running["fileSize"] = 10 * 1024 * 1024;
    running["downloadOffset"] = 1024 * 1024;
    DownloadFileTree *panel = openPanelWith({running, record("failed", kMorning, 3), record("old", kDayBefore, 2)});
    QVERIFY(panel);
    TreeView *tree = panel->treeView();
    const auto current = [tree] {
        auto *file = qobject_cast<ModelItemFile *>(static_cast<QObject *>(tree->currentIndex().internalPointer()));
        return file ? file->key() : QString();
    };

    // Tab reaches the list; focus lands on the first record; arrows step
    // over the day rows.
    QVERIFY(tree->focusPolicy() & Qt::TabFocus);
    _window->activateWindow();
    tree->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(tree->hasFocus());
    QCOMPARE(current(), QStringLiteral("run"));
    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(current(), QStringLiteral("run"));
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(current(), QStringLiteral("failed"));
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(current(), QStringLiteral("old"));
    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(current(), QStringLiteral("failed"));

    QTest::keyClick(tree, Qt::Key_Return);
    QTRY_COMPARE(_host.receivedCommands("restartDownload").size(), 1);
    QTest::keyClick(tree, Qt::Key_Delete);
    QTRY_VERIFY(openBox(C::WebFileRemoveTipsText()));

    // The tooltip: name and state, and while downloading the amount, the
    // speed and the time left from the offsets the polls bring.
    ModelItemFile *file = panel->record("run");
    QCOMPARE(panel->toolTipFor(*panel->record("old")), QStringLiteral("old.pdf\nDownload succeed"));
    QCOMPARE(panel->toolTipFor(*file), QStringLiteral("run.pdf\nDownloading\n1.0 MB of 10.0 MB"));
    QTRY_COMPARE_WITH_TIMEOUT(_host.receivedCommands("getDownloadOffset").size(), 1, 3000);
    QJsonObject progress{{"key", "run"}, {"downloadOffset", 2 * 1024 * 1024}};
    sendReply("getDownloadOffsetRes", replyJson(lastId("getDownloadOffset"), {progress}));
    QTRY_COMPARE(file->downloadOffset(), quint64(2 * 1024 * 1024));
    const QStringList lines = panel->toolTipFor(*file).split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.at(2), QStringLiteral("2.0 MB of 10.0 MB"));
    QVERIFY2(lines.at(3).endsWith("/s"), qPrintable(lines.at(3)));
    QVERIFY2(lines.at(4).endsWith(" left"), qPrintable(lines.at(4)));

    // A file name is shown as text in the tooltip, never as markup.
    panel->record("old")->setName(QStringLiteral("<b>bold</b>.pdf"));
    const QPoint oldRow = tree->visualRect(panel->model()->index(panel->record("old"))).center();
    QHelpEvent help(QEvent::ToolTip, oldRow, tree->viewport()->mapToGlobal(oldRow));
    QApplication::sendEvent(tree->viewport(), &help);
    QVERIFY2(QToolTip::text().contains("&lt;b&gt;bold&lt;/b&gt;.pdf"), qPrintable(QToolTip::text()));

    // A screen reader hears one sentence per record.
    QCOMPARE(panel->model()->data(panel->model()->index(file), Qt::AccessibleTextRole).toString(),
             QStringLiteral("run.pdf, Downloading, 20 %"));
}

QTEST_MAIN(DownloadPanelTest)
#include "tst_downloadpanel.moc"
