#include "hostconfig.h"

#include "settingencoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QVariant>

const QString HostConfig::userInfoKey = QStringLiteral("userInfo");

namespace {

bool isComment(const QString &key)
{
    return key.startsWith(QLatin1Char('_'));
}

} // namespace

bool HostConfig::load(const QString &path, QStringList *errors)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errors->append(QStringLiteral("cannot read %1").arg(path));
        return false;
    }
    return loadJson(file.readAll(), QFileInfo(path).absolutePath(), errors);
}

bool HostConfig::loadJson(const QByteArray &json, const QString &baseDir, QStringList *errors)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        errors->append(parseError.error == QJsonParseError::NoError
                           ? QStringLiteral("the configuration must be a JSON object")
                           : QStringLiteral("invalid JSON at offset %1: %2")
                                 .arg(parseError.offset)
                                 .arg(parseError.errorString()));
        return false;
    }
    const QJsonObject object = document.object();
    const int errorsBefore = errors->size();

    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!isComment(it.key()) && it.key() != userInfoKey && !settingencoder::isSetting(it.key()))
            errors->append(QStringLiteral("unknown setting \"%1\"").arg(it.key()));
    }

    _messages.clear();
    for (const QString &name : settingencoder::settingNames()) {
        if (!object.contains(name))
            continue;
        QString error;
        if (const auto message = settingencoder::encodeSetting(name, object.value(name), QDir(baseDir), &error))
            _messages.append(*message);
        else
            errors->append(error);
    }
    _userInfo = userInfoText(object.value(userInfoKey));
    return errors->size() == errorsBefore;
}

QString HostConfig::userInfoText(const QJsonValue &value)
{
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    return value.toVariant().toString();
}
