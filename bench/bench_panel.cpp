// The download-history panel at scale, each figure beside a baseline
// measured in the same run:
//  - a file list of 10,000 and 100,000 records (spread over three years and
//    all on one day; oldest first and newest first) applied to the shown
//    panel and the first screen painted, against a plain QStandardItemModel
//    fill of the same rows shown in a plain QTreeView;
//  - filing alone: binary search against the linear scan from the newest
//    record of the day;
//  - a progress reply for 1,000 running downloads among 100,000 records,
//    against finding each record by walking the tree;
//  - resident memory per record at 100,000 records, each in a fresh process,
//    against the QStandardItemModel rows.
// With --screenshots DIR [--scale 100|200] it writes pictures of the panel;
// for 200 % run it with QT_FONT_DPI=192, as the scale follows the screen.

#include "downloadfile/downloadfilemodel.h"
#include "downloadfile/downloadfiletree.h"
#include "downloadfile/modelitem.h"
#include "zuvochatwbconfigure.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const qint64 kDay = 24LL * 3600 * 1000;
const qint64 kNewest = QDateTime(QDate(2026, 12, 1), QTime(18, 0)).toMSecsSinceEpoch();
const char *const kEndings[] = {".pdf", ".docx", ".zip", ".png", ".mp4", ".txt", ".xlsx", ".bin"};

struct Shape {
    int count;
    bool oneDay;
    bool newestFirst;
};

QString shapeName(const Shape &shape)
{
    return QStringLiteral("%1 records, %2, %3")
        .arg(shape.count)
        .arg(shape.oneDay ? QStringLiteral("one day") : QStringLiteral("3 years"))
        .arg(shape.newestFirst ? QStringLiteral("newest first") : QStringLiteral("oldest first"));
}

// Creation times in the order the host sends them.
std::vector<qint64> creationTimes(const Shape &shape)
{
    const qint64 span = shape.oneDay ? 8 * 3600 * 1000LL : 3 * 365 * kDay;
    std::vector<qint64> times(size_t(shape.count));
    for (int i = 0; i < shape.count; ++i)
        times[size_t(i)] = kNewest - span + span * i / shape.count; // oldest first
    if (shape.newestFirst)
        std::reverse(times.begin(), times.end());
    return times;
}

QString keyOf(int i)
{
    return QStringLiteral("%1").arg(i, 32, 16, QLatin1Char('0'));
}

QJsonObject recordJson(int i, qint64 created, int status)
{
    return QJsonObject{{"key", keyOf(i)},
                       {"name", QStringLiteral("quarterly report %1 of the team%2").arg(i).arg(kEndings[i % 8])},
                       {"createTime", double(created)},
                       {"updateTime", double(created)},
                       {"fileSize", 1000000 + i},
                       {"status", status},
                       {"downloadOffset", status == 1 ? 1000 : 1000000 + i},
                       {"fileExists", i % 50 != 0}};
}

// Every 100th record runs; the rest are finished or, every 97th, failed.
int statusOf(int i)
{
    if (i % 100 == 0)
        return 1;
    return i % 97 == 0 ? 3 : 2;
}

QByteArray listReply(const QString &id, const std::vector<qint64> &times)
{
    QJsonArray data;
    for (size_t i = 0; i < times.size(); ++i)
        data.append(recordJson(int(i), times[i], statusOf(int(i))));
    return QJsonDocument(QJsonObject{{"key", id}, {"data", data}}).toJson(QJsonDocument::Compact);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double msSince(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void settle()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

const QSize kPanelSize(520, 850);

// The panel shown, its list request answered with the records, and the
// first screen painted; the reply's bytes are made before the clock starts.
double panelApplyAndPaint(const Shape &shape, DownloadFileTree *&keep)
{
    auto *panel = new DownloadFileTree(nullptr);
    panel->resize(kPanelSize);
    panel->show();
    settle();
    QString id;
    QObject::connect(panel, &DownloadFileTree::requestFileList, [&id](const QString &key) { id = key; });
    panel->toRequestFileList();
    const QByteArray reply = listReply(id, creationTimes(shape));

    QElapsedTimer timer;
    timer.start();
    panel->onRequestFileList(reply);
    const double applied = msSince(timer);
    panel->grab();
    const double ms = msSince(timer);
    if (qEnvironmentVariableIsSet("BENCH_PANEL_PHASES"))
        std::printf("  applied %.1f ms, painted %.1f ms\n", applied, ms - applied);
    keep = panel;
    return ms;
}

QStringList namesOf(const std::vector<qint64> &times)
{
    QStringList names;
    for (size_t i = 0; i < times.size(); ++i)
        names << recordJson(int(i), times[i], 2).value("name").toString();
    return names;
}

// The baseline: one item per day and per record, appended as they come.
void fillStandardModel(QStandardItemModel &model, const std::vector<qint64> &times, const QStringList &names)
{
    QHash<QDate, QStandardItem *> days;
    for (size_t i = 0; i < times.size(); ++i) {
        const QDate day = QDateTime::fromMSecsSinceEpoch(times[i]).date();
        QStandardItem *&group = days[day];
        if (!group) {
            group = new QStandardItem(day.toString(QStringLiteral("MM-dd")));
            model.appendRow(group);
        }
        group->appendRow(new QStandardItem(names.at(int(i))));
    }
}

double standardModelFillAndPaint(const Shape &shape)
{
    const std::vector<qint64> times = creationTimes(shape);
    const QStringList names = namesOf(times);
    QStandardItemModel model;
    QTreeView view;
    view.setHeaderHidden(true);
    view.setModel(&model);
    view.resize(kPanelSize);
    view.show();
    settle();

    QElapsedTimer timer;
    timer.start();
    fillStandardModel(model, times, names);
    view.expandAll();
    view.grab();
    return msSince(timer);
}

// Filing alone, over plain lists of times per day: the linear scan from the
// newest record against the binary search (upper bound) the panel uses.
double fileTimes(const std::vector<qint64> &times, bool linear)
{
    // Days are worked out before the clock starts: only the filing counts.
    std::vector<qint64> days(times.size());
    for (size_t i = 0; i < times.size(); ++i)
        days[i] = QDateTime::fromMSecsSinceEpoch(times[i]).date().toJulianDay();
    QElapsedTimer timer;
    timer.start();
    QHash<qint64, QList<quint64>> groups;
    for (size_t i = 0; i < times.size(); ++i) {
        QList<quint64> &group = groups[days[i]];
        const quint64 t = quint64(times[i]);
        int place = 0;
        if (linear) {
            while (place < group.size() && !(t > group.at(place)))
                ++place;
        } else {
            place = int(std::upper_bound(group.begin(), group.end(), t, [](quint64 a, quint64 b) { return a > b; }) -
                        group.begin());
        }
        group.insert(place, t);
    }
    return msSince(timer);
}

void benchLists()
{
    std::printf("\nFile list applied to the shown panel, first screen painted (median ms)\n");
    std::printf("%-44s %10s %12s %8s\n", "", "panel", "QStandardIM", "target");
    for (int count : {10000, 100000}) {
        for (bool oneDay : {false, true}) {
            for (bool newestFirst : {false, true}) {
                const Shape shape{count, oneDay, newestFirst};
                const int runs = count > 10000 ? 3 : 5;
                std::vector<double> ours;
                std::vector<double> plain;
                for (int r = 0; r < runs; ++r) {
                    DownloadFileTree *panel = nullptr;
                    ours.push_back(panelApplyAndPaint(shape, panel));
                    delete panel;
                    settle();
                    plain.push_back(standardModelFillAndPaint(shape));
                    settle();
                }
                std::printf("%-44s %10.1f %12.1f %8s\n", qPrintable(shapeName(shape)), median(ours), median(plain),
                            count > 10000 ? "1500" : "100");
                std::fflush(stdout);
            }
        }
    }
}

void benchFiling()
{
    std::printf("\nFiling alone into day groups (median ms)\n");
    std::printf("%-44s %10s %12s\n", "", "binary", "linear scan");
    for (int count : {10000, 100000}) {
        for (bool oneDay : {false, true}) {
            for (bool newestFirst : {false, true}) {
                const Shape shape{count, oneDay, newestFirst};
                const std::vector<qint64> times = creationTimes(shape);
                std::vector<double> binary;
                std::vector<double> linear;
                const int runs = (count > 10000 && oneDay && newestFirst) ? 1 : 3;
                for (int r = 0; r < runs; ++r) {
                    binary.push_back(fileTimes(times, false));
                    linear.push_back(fileTimes(times, true));
                }
                std::printf("%-44s %10.1f %12.1f\n", qPrintable(shapeName(shape)), median(binary), median(linear));
                std::fflush(stdout);
            }
        }
    }
}

// The naive way: walk day groups and records to find each key of the reply.
double applyByWalkingTree(ModelItemRoot *root, const QByteArray &reply)
{
    QElapsedTimer timer;
    timer.start();
    const QJsonArray data = QJsonDocument::fromJson(reply).object().value("data").toArray();
    for (const QJsonValue &element : data) {
        QJsonObject object = element.toObject();
        const QString key = object.value("key").toString();
        for (ModelItemBase *group : root->childrenItem()) {
            for (ModelItemBase *item : group->childrenItem()) {
                auto *file = static_cast<ModelItemFile *>(item);
                if (file->key() == key) {
                    file->fromJson(object);
                    break;
                }
            }
        }
    }
    return msSince(timer);
}

void benchProgress()
{
    const Shape shape{100000, false, true};
    DownloadFileTree *panel = nullptr;
    panelApplyAndPaint(shape, panel);
    QString id;
    QStringList keys;
    QObject::connect(panel, &DownloadFileTree::requestFileDownloadOffsetList,
                     [&](const QString &key, const QStringList &list) {
                         id = key;
                         keys = list;
                     });
    std::vector<double> apply;
    std::vector<double> repaint;
    std::vector<double> walking;
    for (int round = 1; round <= 7; ++round) {
        id.clear();
        QEventLoop loop;
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        QObject::connect(panel, &DownloadFileTree::requestFileDownloadOffsetList, &loop, &QEventLoop::quit);
        loop.exec();
        if (id.isEmpty())
            break;
        QJsonArray data;
        for (const QString &key : keys)
            data.append(QJsonObject{{"key", key}, {"downloadOffset", 1000 + round * 1000}});
        const QByteArray reply = QJsonDocument(QJsonObject{{"key", id}, {"data", data}}).toJson(QJsonDocument::Compact);
        QElapsedTimer timer;
        timer.start();
        panel->onRequestFileDownloadOffset(reply);
        apply.push_back(msSince(timer));
        timer.restart();
        panel->treeView()->viewport()->repaint();
        repaint.push_back(msSince(timer));
        if (round <= 3)
            walking.push_back(applyByWalkingTree(panel->model()->root(), reply));
    }
    std::printf("\nProgress reply for %d running downloads among %d records (median ms)\n", int(keys.size()),
                shape.count);
    std::printf("%-44s %10.2f   (target 5)\n", "applied, records found by key", median(apply));
    std::printf("%-44s %10.2f\n", "then the visible rows repainted", median(repaint));
    std::printf("%-44s %10.2f\n", "baseline: records found by walking the tree", median(walking));
    delete panel;
    settle();
}

long residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLong() * 4 : -1;
}

// In a process of its own: resident memory added by 100,000 records.
int measureResident(const QString &what)
{
    const Shape shape{100000, false, true};
    settle();
    malloc_trim(0);
    DownloadFileTree *panel = nullptr;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QTreeView> view;
    long before = 0;
    if (what == QLatin1String("panel")) {
        // The empty panel exists before the first figure is taken.
        auto *empty = new DownloadFileTree(nullptr);
        empty->resize(kPanelSize);
        empty->show();
        settle();
        delete empty;
        settle();
        malloc_trim(0);
        before = residentKiB();
        panelApplyAndPaint(shape, panel);
    } else {
        view = std::make_unique<QTreeView>();
        view->resize(kPanelSize);
        view->show();
        settle();
        malloc_trim(0);
        before = residentKiB();
        model = std::make_unique<QStandardItemModel>();
        const std::vector<qint64> times = creationTimes(shape);
        fillStandardModel(*model, times, namesOf(times));
        view->setModel(model.get());
        view->expandAll();
        view->grab();
    }
    settle();
    malloc_trim(0);
    const long after = residentKiB();
    std::printf("%.1f\n", double(after - before) * 1024.0 / shape.count);
    delete panel;
    return 0;
}

void benchResident(const QString &self)
{
    const auto measure = [&self](const QString &what) {
        QProcess child;
        child.start(self, {QStringLiteral("--resident"), what});
        child.waitForFinished(300000);
        return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    };
    std::printf("\nResident memory per record at 100000 records (bytes, each in a fresh process)\n");
    std::printf("%-44s %10s   (target < 1024)\n", "panel, shown and painted", qPrintable(measure("panel")));
    std::printf("%-44s %10s\n", "baseline: QStandardItemModel rows in a view", qPrintable(measure("standard")));
}

QJsonArray sampleRecords()
{
    const qint64 today = QDateTime(QDate(2026, 12, 8), QTime(15, 0)).toMSecsSinceEpoch();
    auto sample = [](const QString &key, const QString &name, qint64 created, int status, double size,
                     double offset, bool exists) {
        return QJsonObject{{"key", key},         {"name", name},     {"createTime", double(created)},
                           {"fileSize", size},   {"status", status}, {"downloadOffset", offset},
                           {"fileExists", exists}};
    };
    return QJsonArray{
        sample("a", "Quarterly report of the platform team, final version.pdf", today, 1, 48e6, 21.744e6, true),
        sample("b", "holiday-photos.zip", today - 3600000, 2, 734003200, 734003200, true),
        sample("c", "installer.tar.gz", today - 7200000, 3, 0, 0, true),
        sample("d", "notes.txt", today - kDay, 2, 1536, 1536, false),
        sample("e", "talk.pptx", today - 40 * kDay, 0, 0, 0, true),
    };
}

// The display scale comes from the screen's logical resolution, so run with
// QT_FONT_DPI=192 for the 200 % pictures (the name only labels the files).
int writeScreenshots(const QString &dir, int scale)
{
    DownloadFileTree panel(nullptr);
    panel.resize(ZuvoChatWBConfigure::convertScale(520), ZuvoChatWBConfigure::convertScale(760));
    panel.show();
    settle();
    const QString empty = QDir(dir).filePath(QStringLiteral("panel-empty-%1.png").arg(scale));
    panel.grab().save(empty);
    QString id;
    QObject::connect(&panel, &DownloadFileTree::requestFileList, [&id](const QString &key) { id = key; });
    panel.toRequestFileList();
    panel.onRequestFileList(
        QJsonDocument(QJsonObject{{"key", id}, {"data", sampleRecords()}}).toJson(QJsonDocument::Compact));
    settle();
    const QString list = QDir(dir).filePath(QStringLiteral("panel-%1.png").arg(scale));
    panel.grab().save(list);
    std::printf("%s\n%s\n", qPrintable(empty), qPrintable(list));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("zuvo.*.debug=false"));
    ZuvoChatWBConfigure::init();

    QCommandLineParser parser;
    parser.addOption({QStringLiteral("resident"), QStringLiteral("internal"), QStringLiteral("what")});
    parser.addOption({QStringLiteral("screenshots"), QStringLiteral("write pictures to DIR"), QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("scale"), QStringLiteral("100 or 200"), QStringLiteral("percent"),
                      QStringLiteral("100")});
    parser.addOption({QStringLiteral("once"), QStringLiteral("one list of N records, for a profiler"),
                      QStringLiteral("N")});
    parser.process(app);
    if (parser.isSet(QStringLiteral("once"))) {
        DownloadFileTree *panel = nullptr;
        std::printf("%.1f ms\n", panelApplyAndPaint({parser.value(QStringLiteral("once")).toInt(), false, true}, panel));
        return 0;
    }
    if (parser.isSet(QStringLiteral("resident")))
        return measureResident(parser.value(QStringLiteral("resident")));
    if (parser.isSet(QStringLiteral("screenshots")))
        return writeScreenshots(parser.value(QStringLiteral("screenshots")), parser.value(QStringLiteral("scale")).toInt());

    benchLists();
    benchFiling();
    benchProgress();
    benchResident(QCoreApplication::applicationFilePath());
    return 0;
}
