// The download history model under QAbstractItemModelTester: where records
// and day groups are filed, what is announced, and indexes of removed items.
#include "downloadfile/downloadfilemodel.h"
#include "downloadfile/modelitem.h"
#include "zuvochatwbconfigure.h"

#include <QAbstractItemModelTester>
#include <QDateTime>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

quint64 localTime(const QString &text)
{
    return quint64(QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toMSecsSinceEpoch());
}

QString nameOf(const QModelIndex &index)
{
    if (!index.isValid())
        return QStringLiteral("root");
    auto *item = static_cast<ModelItemBase *>(index.internalPointer());
    if (auto *file = qobject_cast<ModelItemFile *>(item))
        return file->key();
    const quint64 time = static_cast<ModelItemDate *>(item)->time();
    return QDateTime::fromMSecsSinceEpoch(qint64(time)).toString(QStringLiteral("yyyy-MM-dd"));
}

// "2024-03-05[c] 2024-03-04[b a]": the whole tree in one comparable string.
QString flatten(const QAbstractItemModel &model)
{
    QStringList groups;
    for (int g = 0; g < model.rowCount(); ++g) {
        const QModelIndex group = model.index(g, 0);
        QStringList files;
        for (int f = 0; f < model.rowCount(group); ++f)
            files << nameOf(model.index(f, 0, group));
        groups << nameOf(group) + QLatin1Char('[') + files.join(QLatin1Char(' ')) + QLatin1Char(']');
    }
    return groups.join(QLatin1Char(' '));
}

// "root 0-0, 2024-03-05 0-0": every (parent, first, last) of a spy.
QString flatten(const QSignalSpy &spy)
{
    QStringList events;
    for (const QList<QVariant> &args : spy) {
        events << QStringLiteral("%1 %2-%3")
                      .arg(nameOf(args.at(0).toModelIndex()))
                      .arg(args.at(1).toInt())
                      .arg(args.at(2).toInt());
    }
    return events.join(QStringLiteral(", "));
}

} // namespace

class DownloadModelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void filing_data();
    void filing();
    void removalAnnouncedAndIndexOfRemovedItem();
    void rowsCarryNoData();

private:
    ModelItemFile *file(const QString &key, const QString &created);

    std::unique_ptr<ModelItemRoot> _root;
    std::unique_ptr<DownloadFileModel> _model;
    std::unique_ptr<QAbstractItemModelTester> _tester;
};

void DownloadModelTest::initTestCase()
{
    ZuvoChatWBConfigure::init();
}

void DownloadModelTest::init()
{
    _root = std::make_unique<ModelItemRoot>();
    _model = std::make_unique<DownloadFileModel>(_root.get(), nullptr);
    _tester = std::make_unique<QAbstractItemModelTester>(_model.get(),
                                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void DownloadModelTest::cleanup()
{
    _tester.reset();
    _model.reset();
    _root.reset();
}

ModelItemFile *DownloadModelTest::file(const QString &key, const QString &created)
{
    auto *item = new ModelItemFile(key);
    if (created != QLatin1String("none"))
        item->setCreateTime(localTime(created));
    return item;
}

void DownloadModelTest::filing_data()
{
    QTest::addColumn<QStringList>("records"); // "key@local time" or "key@none"
    QTest::addColumn<QString>("announced");
    QTest::addColumn<QString>("tree");

    QTest::newRow("oldest first")
        << QStringList{"a@2024-03-04 10:00:00.000", "b@2024-03-04 11:00:00.000", "c@2024-03-05 09:00:00.000"}
        << "root 0-0, 2024-03-04 0-0, 2024-03-04 0-0, root 0-0, 2024-03-05 0-0"
        << "2024-03-05[c] 2024-03-04[b a]";
    QTest::newRow("newest first")
        << QStringList{"c@2024-03-05 09:00:00.000", "b@2024-03-04 11:00:00.000", "a@2024-03-04 10:00:00.000"}
        << "root 0-0, 2024-03-05 0-0, root 1-1, 2024-03-04 0-0, 2024-03-04 1-1"
        << "2024-03-05[c] 2024-03-04[b a]";
    QTest::newRow("a day between two groups")
        << QStringList{"x@2024-03-06 08:00:00.000", "y@2024-03-04 08:00:00.000", "z@2024-03-05 08:00:00.000"}
        << "root 0-0, 2024-03-06 0-0, root 1-1, 2024-03-04 0-0, root 1-1, 2024-03-05 0-0"
        << "2024-03-06[x] 2024-03-05[z] 2024-03-04[y]";
    QTest::newRow("same day of two years")
        << QStringList{"old@2023-03-05 12:00:00.000", "new@2024-03-05 12:00:00.000"}
        << "root 0-0, 2023-03-05 0-0, root 0-0, 2024-03-05 0-0" << "2024-03-05[new] 2023-03-05[old]";
    QTest::newRow("equal times keep arrival order")
        << QStringList{"first@2024-03-05 12:00:00.000", "second@2024-03-05 12:00:00.000",
                       "newer@2024-03-05 13:00:00.000"}
        << "root 0-0, 2024-03-05 0-0, 2024-03-05 1-1, 2024-03-05 0-0" << "2024-03-05[newer first second]";
    // The epoch's local date: 1969-12-31 west of Greenwich. East of it that
    // day starts before the epoch, and its group must still go to the bottom.
    const QString epochDay = QDateTime::fromMSecsSinceEpoch(0).toString(QStringLiteral("yyyy-MM-dd"));
    QTest::newRow("no creation time goes to the epoch's day, at the bottom")
        << QStringList{"dated@2024-03-05 12:00:00.000", "undated@none", "undated2@none"}
        << "root 0-0, 2024-03-05 0-0, root 1-1, " + epochDay + " 0-0, " + epochDay + " 1-1"
        << "2024-03-05[dated] " + epochDay + "[undated undated2]";
    QTest::newRow("exactly at local midnight")
        << QStringList{"before@2024-03-04 23:59:59.999", "midnight@2024-03-05 00:00:00.000"}
        << "root 0-0, 2024-03-04 0-0, root 0-0, 2024-03-05 0-0" << "2024-03-05[midnight] 2024-03-04[before]";
}

void DownloadModelTest::filing()
{
    QFETCH(QStringList, records);
    QFETCH(QString, announced);
    QFETCH(QString, tree);
    QSignalSpy inserted(_model.get(), &QAbstractItemModel::rowsInserted);
    for (const QString &record : records) {
        const QStringList parts = record.split(QLatin1Char('@'));
        _model->insertItem(file(parts.at(0), parts.at(1)));
    }
    QCOMPARE(flatten(inserted), announced);
    QCOMPARE(flatten(*_model), tree);
}

void DownloadModelTest::removalAnnouncedAndIndexOfRemovedItem()
{
    ModelItemFile *a = file(QStringLiteral("a"), QStringLiteral("2024-03-05 10:00:00.000"));
    ModelItemFile *b = file(QStringLiteral("b"), QStringLiteral("2024-03-05 11:00:00.000"));
    _model->insertItem(a);
    _model->insertItem(b);
    QCOMPARE(_model->index(a), _model->index(1, 0, _model->index(0, 0)));
    QPointer<ModelItemFile> watched(a);

    QSignalSpy removed(_model.get(), &QAbstractItemModel::rowsRemoved);
    QVERIFY(_model->removeRows(1, 1, _model->index(0, 0)));
    QCOMPARE(flatten(removed), QStringLiteral("2024-03-05 1-1"));
    QCOMPARE(_model->index(a), QModelIndex());
    QCOMPARE(flatten(*_model), QStringLiteral("2024-03-05[b]"));
    // Deleted at the next turn of the event loop, not under the caller.
    QVERIFY(watched);
    QTRY_VERIFY(!watched);
    QCOMPARE(_model->index(static_cast<ModelItemBase *>(nullptr)), QModelIndex());
    QCOMPARE(_model->index(_root.get()), QModelIndex());
}

void DownloadModelTest::rowsCarryNoData()
{
    ModelItemFile *a = file(QStringLiteral("a"), QStringLiteral("2024-03-05 10:00:00.000"));
    a->setName(QStringLiteral("a.pdf"));
    _model->insertItem(a);
    const QModelIndex group = _model->index(0, 0);
    const QModelIndex record = _model->index(0, 0, group);
    for (int role : {int(Qt::DisplayRole), int(Qt::DecorationRole), int(Qt::ToolTipRole), int(Qt::EditRole)}) {
        QCOMPARE(_model->data(record, role), QVariant());
        QCOMPARE(_model->data(group, role), QVariant());
    }
    QCOMPARE(_model->data(record, Qt::AccessibleTextRole).toString(), QStringLiteral("a.pdf, Waiting"));
    QCOMPARE(_model->flags(record), Qt::ItemFlags(Qt::ItemIsEnabled));
    QCOMPARE(_model->rowCount(record), 0);
    QCOMPARE(_model->index(1, 0, group), QModelIndex());
}

QTEST_MAIN(DownloadModelTest)
#include "tst_downloadmodel.moc"
