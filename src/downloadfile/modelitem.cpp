#include "modelitem.h"

#include "downloadfiletext.h"

#include "resource.h"
#include "zuvolog.h"

#include <QJsonValue>
#include <QPixmap>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Numbers are read through QVariant, so a string of digits counts too (the
// only way a host can send sizes beyond 2^53 exactly). A double outside the
// unsigned range would overflow the conversion; it is clamped instead.
quint64 toUnsigned64(const QJsonValue &value)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (!(number > 0))
            return 0;
        if (number >= 18446744073709551616.0)
            return std::numeric_limits<quint64>::max();
        return static_cast<quint64>(number);
    }
    return value.toVariant().toULongLong();
}

using Wide = unsigned __int128;

const QStringList &sizeUnits()
{
    static const QStringList units{QStringLiteral("B"), QStringLiteral("KB"), QStringLiteral("MB"),
                                   QStringLiteral("GB")};
    return units;
}

enum class FileKind { Ppt, Doc, Xls, Pdf, Archive, Audio, Image, Video, Text, Other };

FileKind kindOf(const QString &name)
{
    struct Ending {
        const char *suffix;
        FileKind kind;
    };
    static const Ending endings[] = {
        {".ppt", FileKind::Ppt},     {".pptx", FileKind::Ppt},    {".doc", FileKind::Doc},
        {".docx", FileKind::Doc},    {".xls", FileKind::Xls},     {".xlsx", FileKind::Xls},
        {".pdf", FileKind::Pdf},     {".rar", FileKind::Archive}, {".zip", FileKind::Archive},
        {".7z", FileKind::Archive},  {".tar", FileKind::Archive}, {".tar.gz", FileKind::Archive},
        {".xz", FileKind::Archive},  {".mp3", FileKind::Audio},   {".wav", FileKind::Audio},
        {".img", FileKind::Image},   {".png", FileKind::Image},   {".gif", FileKind::Image},
        {".jpg", FileKind::Image},   {".mp4", FileKind::Video},   {".txt", FileKind::Text},
        {".log", FileKind::Text},
    };
    for (const Ending &ending : endings) {
        if (name.endsWith(QLatin1String(ending.suffix), Qt::CaseSensitive))
            return ending.kind;
    }
    return FileKind::Other;
}

QPixmap *iconOf(FileKind kind, bool gray)
{
    Resource *r = Resource::ShareInstance();
    switch (kind) {
    case FileKind::Ppt: return gray ? r->pptGrayIcon() : r->pptIcon();
    case FileKind::Doc: return gray ? r->docGrayIcon() : r->docIcon();
    case FileKind::Xls: return gray ? r->xlsGrayIcon() : r->xlsIcon();
    case FileKind::Pdf: return gray ? r->pdfGrayIcon() : r->pdfIcon();
    case FileKind::Archive: return gray ? r->rarGrayIcon() : r->rarIcon();
    case FileKind::Audio: return gray ? r->audioGrayIcon() : r->audioIcon();
    case FileKind::Image: return gray ? r->imgGrayIcon() : r->imgIcon();
    case FileKind::Video: return gray ? r->videoGrayIcon() : r->videoIcon();
    case FileKind::Text: return gray ? r->txtGrayIcon() : r->txtIcon();
    case FileKind::Other: break;
    }
    return gray ? r->otherGrayIcon() : r->otherIcon();
}

} // namespace

// Tenths of the unit, cut off; 128 bits so that ten times a 64-bit size
// cannot wrap into a small, wrong text.
QString formatSizeTextEx(quint64 size)
{
    const Wide tenths = Wide(size) * 10;
    int unit = 0;
    Wide value = tenths;
    while (unit < 3 && value > 10239) {
        ++unit;
        value = tenths >> (10 * unit);
    }
    const quint64 whole = quint64(value / 10);
    const int decimal = int(value % 10);
    return QStringLiteral("%1.%2 %3").arg(whole).arg(decimal).arg(sizeUnits().at(unit));
}

ModelItemBase::ModelItemBase() = default;

ModelItemBase::~ModelItemBase()
{
    qCDebug(zuvoPanel) << "~ModelItemBase";
}

void ModelItemBase::adopt(ModelItemBase *item)
{
    item->setParent(this);
}

int ModelItemBase::placeFor(quint64 time) const
{
    // Children run newest first: the place is in front of the first child
    // that is strictly older, so equal times keep their arrival order.
    const auto place = std::upper_bound(_childTimes.begin(), _childTimes.end(), time,
                                        [](quint64 t, quint64 child) { return t > child; });
    return int(place - _childTimes.begin());
}

int ModelItemBase::append(ModelItemBase *item)
{
    adopt(item);
    const quint64 time = item->timeToCompare();
    const int index = placeFor(time);
    _childTimes.insert(index, time);
    _children.insert(index, item);
    return index;
}

int ModelItemBase::prepend(ModelItemBase *item)
{
    adopt(item);
    _childTimes.prepend(item->timeToCompare());
    _children.prepend(item);
    return 0;
}

bool ModelItemBase::removechild(int index, int count)
{
    if (index < 0 || index >= _children.size() || count <= 0)
        return false;
    const int end = std::min(int(_children.size()), index + count);
    for (int i = index; i < end; ++i) {
        ModelItemBase *child = _children.at(i);
        child->setParent(nullptr);
        child->deleteLater();
    }
    _children.erase(_children.begin() + index, _children.begin() + end);
    _childTimes.erase(_childTimes.begin() + index, _childTimes.begin() + end);
    return true;
}

int ModelItemBase::childIndex(ModelItemBase *item) const
{
    if (!item || item->parent() != this)
        return -1;
    // Look in the run of children filed under the item's time first; only a
    // prepend can break the order, and then the plain scan still finds it.
    const quint64 time = item->timeToCompare();
    const auto first = std::lower_bound(_childTimes.begin(), _childTimes.end(), time,
                                        [](quint64 child, quint64 t) { return child > t; });
    for (int i = int(first - _childTimes.begin()); i < _children.size() && _childTimes.at(i) == time; ++i) {
        if (_children.at(i) == item)
            return i;
    }
    return _children.indexOf(item);
}

bool ModelItemBase::isLastChild(ModelItemBase *item) const
{
    return !_children.isEmpty() && _children.last() == item;
}

int ModelItemBase::compareTo(ModelItemBase *other) const
{
    const quint64 mine = timeToCompare();
    const quint64 theirs = other->timeToCompare();
    if (mine > theirs)
        return -1;
    return mine < theirs ? 1 : 0;
}

ModelItemDate::ModelItemDate(quint64 time, quint64 nextDay)
    : _time(time)
    , _nextDay(nextDay)
{
}

namespace {

// Building a QFont per record is costly at a hundred thousand records;
// copies of one metrics object share its data.
const QFontMetrics &defaultMetrics()
{
    static const QFontMetrics metrics{QFont()};
    return metrics;
}

} // namespace

ModelItemFile::ModelItemFile(QString key)
    : _key(std::move(key))
    , _nameFontMetrics(defaultMetrics())
{
}

void ModelItemFile::setName(QString name)
{
    if (name == _name)
        return;
    _name = std::move(name);
    _nameText.clear();
    _icon = iconOf(kindOf(_name), false);
}

void ModelItemFile::setFileSize(quint64 size)
{
    if (size == _fileSize)
        return;
    _fileSize = size;
    _fileSizeText = formatSizeTextEx(size);
}

void ModelItemFile::setDownloadOffset(quint64 offset)
{
    if (offset == _downloadOffset)
        return;
    _downloadOffset = offset;
    if (_fileSize == 0)
        return;
    // Per mille in 128 bits: a thousand times a 64-bit offset may not fit.
    const quint64 perMille = quint64(std::min<Wide>(Wide(offset) * 1000 / _fileSize, 1000));
    _downloadPercent = float(perMille) * 0.1f;
    // The general format of perMille / 10 with six digits, without a locale
    // round trip per reply: "45.3 %", and "100 %" with no decimal when it is 0.
    const int decimal = int(perMille % 10);
    _downloadOffsetText = QString::number(perMille / 10) +
                          (decimal ? QLatin1Char('.') + QString::number(decimal) : QString()) + QStringLiteral(" %");
}

void ModelItemFile::setFileExists(bool exists)
{
    if (exists == _fileExists)
        return;
    _fileExists = exists;
    if (!exists && _status == ModelItemStatusReady)
        _icon = iconOf(kindOf(_name), true);
    else if (exists && !_name.isEmpty())
        _icon = iconOf(kindOf(_name), false);
}

void ModelItemFile::fromJson(QJsonObject &json)
{
    if (json.value(QLatin1String("key")).toString() != _key)
        return;
    // The order matters: the gray icon looks at the status just set, and the
    // percentage at the size just set.
    const auto member = [&json](const char *name, auto apply) {
        const auto it = json.constFind(QLatin1String(name));
        if (it != json.constEnd())
            apply(it.value());
    };
    member("name", [this](const QJsonValue &v) { setName(v.toString()); });
    member("createTime", [this](const QJsonValue &v) { setCreateTime(toUnsigned64(v)); });
    member("updateTime", [this](const QJsonValue &v) { setUpdateTime(toUnsigned64(v)); });
    member("fileSize", [this](const QJsonValue &v) { setFileSize(toUnsigned64(v)); });
    member("status", [this](const QJsonValue &v) { setStatus(ModelItemStatus(v.toInt())); });
    member("downloadOffset", [this](const QJsonValue &v) { setDownloadOffset(toUnsigned64(v)); });
    member("fileExists", [this](const QJsonValue &v) { setFileExists(v.toBool()); });
}

QString ModelItemFile::nameText(int width, QFontMetrics metrics)
{
    if (_name.size() <= 4)
        return _name;
    if (!_nameText.isEmpty() && width == _nameWidth && metrics == _nameFontMetrics)
        return _nameText;
    _nameWidth = width;
    _nameFontMetrics = metrics;
    if (metrics.horizontalAdvance(_name) <= width) {
        _nameText = _name;
        return _nameText;
    }
    // A prefix of tail + marker + head is exactly as wide as the result with
    // that head, so one binary search over the probe finds the longest head.
    static const QString marker = QStringLiteral("...");
    const QString tail = _name.right(5);
    const QString probe = tail + marker + _name.left(_name.size() - 5);
    int lo = 0;
    int hi = probe.size() - 1;
    int candidate = 0;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int w = metrics.horizontalAdvance(probe.left(mid));
        if (w < width) {
            candidate = mid;
            lo = mid + 1;
        } else if (w == width) {
            candidate = mid;
            break;
        } else {
            candidate = mid - 1;
            hi = mid - 1;
        }
    }
    const int head = std::max(0, candidate - 8);
    _nameText = _name.left(head) + marker + tail;
    return _nameText;
}
