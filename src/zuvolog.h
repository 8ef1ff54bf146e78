#pragma once

#include <QLoggingCategory>

// One category per component, so an integrator can silence the chatty ones
// (for instance "zuvo.link.io.debug=false") and keep the rest.
Q_DECLARE_LOGGING_CATEGORY(zuvoLink)    // the host link: connected, disconnected, socket errors
Q_DECLARE_LOGGING_CATEGORY(zuvoLinkIo)  // the host link: one line per read and per write
Q_DECLARE_LOGGING_CATEGORY(zuvoWeb)     // page loads and the script bridge
Q_DECLARE_LOGGING_CATEGORY(zuvoWindow)  // the browser window and its dialogs
Q_DECLARE_LOGGING_CATEGORY(zuvoPanel)   // the download-history panel
// One line per message from the host, off unless asked for
// ("zuvo.link.messages.debug=true"): a trace of what arrived, in order.
Q_DECLARE_LOGGING_CATEGORY(zuvoLinkMessages)
// The language in force and the texts the window shows of its own in menus
// and dialogs, off unless asked for ("zuvo.text.debug=true"): what a
// translator or a test checks without reading pixels.
Q_DECLARE_LOGGING_CATEGORY(zuvoText)
