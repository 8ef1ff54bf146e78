#pragma once

#include "hostlink.h"
#include "hostmessage.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What the host prints for, and answers to, a message from the browser.
namespace browserreplies {

// "group command payload" on one line: a JSON payload as compact JSON, any
// other text with backslash, line feed and carriage return escaped as \\, \n
// and \r. An empty payload leaves the line at "group command".
QString messageLine(const HostLink::Message &message);

// The answer the host gives to a message, if it answers it at all: the user
// information for "currentuserinfo", a started-download notice for
// "startDownload". Downloads themselves are not performed.
std::optional<HostMessage> replyTo(const HostLink::Message &message, const QString &userInfo);

HostMessage currentUserInfoReply(const QString &requestKey, const QString &info);
// Nothing when the request is not a JSON object, as no key can be echoed then.
std::optional<HostMessage> startDownloadReply(const QByteArray &requestJson);

} // namespace browserreplies
