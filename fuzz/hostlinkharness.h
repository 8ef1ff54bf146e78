#pragma once

#include <QByteArray>
#include <QString>

// The receive path of the browser as the host drives it, for the fuzz target
// and for the test that replays the inputs the fuzzer once crashed on.
namespace hostlinkharness {

// Builds the application on the offscreen platform unless one exists (the
// fuzz target's case: it then runs the event loop once every 32 inputs
// rather than after each, and reads an input only up to its third "showUrl"),
// and opens the browser window on an empty page,
// with every page request held on loopback, and its download panel.
void setUp(int *argc, char ***argv);

// Feeds one input twice: as the raw byte stream the host writes, and read as
// lines "@group:command:payload" whose payload is plain text, encoded here, so
// that mutations reach the JSON and numbers behind the Base64 directly. In
// such a payload "$LIST$", "$OFFSET$", "$DOWNLOAD$" and "$USERINFO$" stand for
// the key of the browser's latest request of that kind.
void feed(const QByteArray &input);

// The text of the message box the window shows, or nothing when it shows
// none or the window is gone: whether the browser still follows the host.
QString shownMessage();

} // namespace hostlinkharness
