#include "zuvolog.h"

Q_LOGGING_CATEGORY(zuvoLink, "zuvo.link")
Q_LOGGING_CATEGORY(zuvoLinkIo, "zuvo.link.io")
Q_LOGGING_CATEGORY(zuvoWeb, "zuvo.web")
Q_LOGGING_CATEGORY(zuvoWindow, "zuvo.window")
Q_LOGGING_CATEGORY(zuvoPanel, "zuvo.panel")
Q_LOGGING_CATEGORY(zuvoLinkMessages, "zuvo.link.messages", QtInfoMsg)
Q_LOGGING_CATEGORY(zuvoText, "zuvo.text", QtInfoMsg)
