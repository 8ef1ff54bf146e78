#pragma once

#include "hostmessage.h"

#include <QString>

#include <optional>

// What the host prints for, and answers to, a message from the browser.
namespace browserreplies {

// "group command payload" on one line: a JSON payload as compact JSON, any
// other text with backslash, line feed and carriage return escaped as \\, \n
// and \r. An empty payload leaves the line at "group command".
QString messageLine(const HostMessage &message);

// The answer the host gives to a message outside the download group, if it
// answers it at all: the user information for "currentuserinfo". The session
// has the library send it (BrowserHost::answerUserInfo); this is the same
// answer as a message, for checking it.
std::optional<HostMessage> replyTo(const HostMessage &message, const QString &userInfo);

HostMessage currentUserInfoReply(const QString &requestKey, const QString &info);

} // namespace browserreplies
