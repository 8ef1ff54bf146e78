#pragma once

#include "hostmessage.h"

#include <QDir>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>

// Turns one setting, as a configuration file or the "config" command writes it,
// into the message that carries it. Settings are named after their protocol
// commands: every configuration command, plus the four button events.
namespace settingencoder {

// All setting names, in the order a configuration is sent.
const QStringList &settingNames();

bool isSetting(const QString &name);

// Image paths are taken relative to baseDir. On failure returns nothing and
// sets error to a line naming the setting and what it expects.
std::optional<HostMessage> encodeSetting(const QString &name, const QJsonValue &value, const QDir &baseDir,
                                         QString *error);

} // namespace settingencoder
