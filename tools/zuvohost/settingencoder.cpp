#include "settingencoder.h"

#include "zwProtoc.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <vector>

namespace config = zuvo_web_protoc::zuvo_web_protoc_1_config;
namespace event = zuvo_web_protoc::zuvo_web_protoc_2_event;

namespace settingencoder {

namespace {

enum class Kind { Text, Integer, Colour, ContainerColour, Rect, Size, Margins, Image, Flag, TextList };

struct Setting {
    QString name;
    QString group;
    Kind kind;
};

const std::vector<Setting> &settings()
{
    static const std::vector<Setting> all = {
        {config::_01_title, config::prefix, Kind::Text},
        {config::_02_titleIcon, config::prefix, Kind::Image},
        {config::_10_titleHeight, config::prefix, Kind::Integer},
        {config::_11_titleLeft, config::prefix, Kind::Integer},
        {config::_12_titleRight, config::prefix, Kind::Integer},
        {config::_13_titleSkip, config::prefix, Kind::Integer},
        {config::_20_titleBackgroundColor, config::prefix, Kind::Colour},
        {config::_21_containerBackgroundColor, config::prefix, Kind::ContainerColour},
        {config::_22_shadowColor, config::prefix, Kind::Colour},
        {config::_30_refreshBtnText, config::prefix, Kind::Text},
        {config::_31_collectBtnText, config::prefix, Kind::Text},
        {config::_32_shareBtnText, config::prefix, Kind::Text},
        {config::_33_channelBtnText, config::prefix, Kind::Text},
        {config::_34_openoutsideBtnText, config::prefix, Kind::Text},
        {config::_40_titleLogoData, config::prefix, Kind::Image},
        {config::_41_titleMinisizeIconData, config::prefix, Kind::Image},
        {config::_42_titleMaxsizeIconData, config::prefix, Kind::Image},
        {config::_43_titleRestoreIconData, config::prefix, Kind::Image},
        {config::_44_titleCloseIconData, config::prefix, Kind::Image},
        {config::_50_windowsRect, config::prefix, Kind::Rect},
        {config::_51_miniWidth, config::prefix, Kind::Integer},
        {config::_60_infoBoxOk, config::prefix, Kind::Text},
        {config::_61_infoBoxCancel, config::prefix, Kind::Text},
        {config::_62_infoBoxSize, config::prefix, Kind::Size},
        {config::_63_infoBoxMargin, config::prefix, Kind::Margins},
        {config::_64_infoBoxDelete, config::prefix, Kind::Text},
        {config::_65_infoBoxClean, config::prefix, Kind::Text},
        {config::_70_accessToken, config::prefix, Kind::Text},
        {config::_71_trustedOrigins, config::prefix, Kind::TextList},
        {config::_72_strictCertificates, config::prefix, Kind::TextList},
        {config::_73_language, config::prefix, Kind::Text},
        {config::_80_webFileBtnText, config::prefix, Kind::Text},
        {config::_81_webFileEmptyText, config::prefix, Kind::Text},
        {config::_82_webFileSuccessText, config::prefix, Kind::Text},
        {config::_83_webFileFailedText, config::prefix, Kind::Text},
        {config::_84_webFileOpenInFolderText, config::prefix, Kind::Text},
        {config::_85_webFileBackText, config::prefix, Kind::Text},
        {config::_86_webFileRedownloadText, config::prefix, Kind::Text},
        {config::_87_webFileMissedText, config::prefix, Kind::Text},
        {config::_88_webFileRemoveAllText, config::prefix, Kind::Text},
        {config::_890_webFileRemoveTipsText, config::prefix, Kind::Text},
        {config::_891_webFileRemoveAllTipsText, config::prefix, Kind::Text},
        {config::_90_tipsWebFileRemoveItem, config::prefix, Kind::Text},
        {config::_91_tipsWebFileRemoveAll, config::prefix, Kind::Text},
        {event::_30_updateOpenOutside, event::prefix, Kind::Flag},
        {event::_40_updateCheckChannel, event::prefix, Kind::Flag},
        {event::_41_updateStoreToZuvo, event::prefix, Kind::Flag},
        {event::_42_updateShareToFriend, event::prefix, Kind::Flag},
    };
    return all;
}

const Setting *findSetting(const QString &name)
{
    const auto &all = settings();
    const auto it = std::find_if(all.begin(), all.end(), [&](const Setting &s) { return s.name == name; });
    return it == all.end() ? nullptr : &*it;
}

// Beyond 2^53 a double no longer tells neighbouring integers apart.
bool isInteger(double number)
{
    return std::abs(number) <= 9007199254740992.0 && number == std::floor(number);
}

std::optional<QString> textOf(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble() || value.isBool())
        return value.toVariant().toString();
    return std::nullopt;
}

std::optional<qint64> integerOf(const QJsonValue &value)
{
    if (value.isDouble() && isInteger(value.toDouble()))
        return qint64(value.toDouble());
    if (value.isBool())
        return value.toBool() ? 1 : 0;
    if (value.isString()) {
        bool ok = false;
        const qint64 number = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            return number;
    }
    return std::nullopt;
}

// A list of integers, written as a JSON array or as the wire's "a,b,c" text.
std::optional<QList<qint64>> integerListOf(const QJsonValue &value)
{
    QList<QJsonValue> items;
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        items = QList<QJsonValue>(array.begin(), array.end());
    } else if (value.isString()) {
        const QStringList parts = value.toString().split(QLatin1Char(','));
        for (const QString &part : parts)
            items.append(part);
    } else {
        return std::nullopt;
    }
    QList<qint64> numbers;
    for (const QJsonValue &item : items) {
        const auto number = integerOf(item);
        if (!number)
            return std::nullopt;
        numbers.append(*number);
    }
    return numbers;
}

QString joined(const QList<qint64> &numbers)
{
    QStringList parts;
    for (qint64 number : numbers)
        parts.append(QString::number(number));
    return parts.join(QLatin1Char(','));
}

std::optional<QString> integerListText(const QJsonValue &value, int minCount, int maxCount)
{
    const auto numbers = integerListOf(value);
    if (!numbers || numbers->size() < minCount || numbers->size() > maxCount)
        return std::nullopt;
    return joined(*numbers);
}

std::optional<QString> colourText(const QJsonValue &value)
{
    const auto numbers = integerListOf(value);
    if (!numbers || numbers->size() != 4)
        return std::nullopt;
    const bool inRange = std::all_of(numbers->begin(), numbers->end(), [](qint64 n) { return n >= 0 && n <= 255; });
    return inRange ? std::optional<QString>(joined(*numbers)) : std::nullopt;
}

// The browser refuses 0, so pure black is rejected here rather than lost there.
std::optional<QString> containerColourText(const QJsonValue &value)
{
    std::optional<qint64> rgb;
    static const QRegularExpression hexColour(QStringLiteral("^#([0-9a-fA-F]{6})$"));
    const QRegularExpressionMatch match = hexColour.match(value.toString().trimmed());
    if (value.isString() && match.hasMatch())
        rgb = match.captured(1).toLongLong(nullptr, 16);
    else if (!value.isBool())
        rgb = integerOf(value);
    if (!rgb || *rgb <= 0 || *rgb > 0xffffff)
        return std::nullopt;
    return QString::number(*rgb);
}

std::optional<QString> flagText(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isString())
        return value.toString();
    return std::nullopt;
}

// A JSON array of texts, sent as compact JSON; the browser judges each entry.
std::optional<QString> textListText(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray array = value.toArray();
    if (!std::all_of(array.begin(), array.end(), [](const QJsonValue &item) { return item.isString(); }))
        return std::nullopt;
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

std::optional<QString> integerText(const QJsonValue &value)
{
    if (value.isBool())
        return std::nullopt;
    const auto number = integerOf(value);
    return number ? std::optional<QString>(QString::number(*number)) : std::nullopt;
}

std::optional<QString> payloadText(Kind kind, const QJsonValue &value)
{
    switch (kind) {
    case Kind::Text:
        return textOf(value);
    case Kind::Integer:
        return integerText(value);
    case Kind::Colour:
        return colourText(value);
    case Kind::ContainerColour:
        return containerColourText(value);
    case Kind::Rect:
        return integerListText(value, 4, 5);
    case Kind::Size:
        return integerListText(value, 2, 2);
    case Kind::Margins:
        return integerListText(value, 4, 4);
    case Kind::Flag:
        return flagText(value);
    case Kind::TextList:
        return textListText(value);
    case Kind::Image:
        break;
    }
    return std::nullopt;
}

QString expectation(Kind kind)
{
    switch (kind) {
    case Kind::Text:
        return QStringLiteral("a text");
    case Kind::Integer:
        return QStringLiteral("an integer");
    case Kind::Colour:
        return QStringLiteral("a colour [r,g,b,a] or \"r,g,b,a\", each 0 to 255");
    case Kind::ContainerColour:
        return QStringLiteral("a colour as a number 1 to 16777215 or \"#rrggbb\", not black");
    case Kind::Rect:
        return QStringLiteral("[x,y,width,height] or [x,y,width,height,maximised]");
    case Kind::Size:
        return QStringLiteral("[width,height]");
    case Kind::Margins:
        return QStringLiteral("[left,top,right,bottom]");
    case Kind::Image:
        return QStringLiteral("the path of an image file");
    case Kind::Flag:
        return QStringLiteral("true or false");
    case Kind::TextList:
        return QStringLiteral("a JSON array of texts");
    }
    return QString();
}

std::optional<QByteArray> fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

const QStringList &settingNames()
{
    static const QStringList names = [] {
        QStringList all;
        for (const Setting &setting : settings())
            all.append(setting.name);
        return all;
    }();
    return names;
}

bool isSetting(const QString &name)
{
    return findSetting(name) != nullptr;
}

std::optional<HostMessage> encodeSetting(const QString &name, const QJsonValue &value, const QDir &baseDir,
                                         QString *error)
{
    const Setting *setting = findSetting(name);
    if (!setting) {
        *error = QStringLiteral("unknown setting \"%1\"").arg(name);
        return std::nullopt;
    }
    if (setting->kind == Kind::Image && value.isString() && !value.toString().isEmpty()) {
        const QString path = baseDir.absoluteFilePath(value.toString());
        if (const auto bytes = fileBytes(path))
            return HostMessage{setting->group, setting->name, *bytes};
        *error = QStringLiteral("%1: cannot read %2").arg(name, path);
        return std::nullopt;
    }
    if (const auto text = payloadText(setting->kind, value))
        return HostMessage::text(setting->group, setting->name, *text);
    *error = QStringLiteral("%1: expected %2").arg(name, expectation(setting->kind));
    return std::nullopt;
}

} // namespace settingencoder
