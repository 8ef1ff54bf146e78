#pragma once

#include <QString>

// The host's output. Standard output carries only lines a script can follow:
// the browser's messages and "host: " status lines, each flushed at once.
// Everything meant for a person goes to standard error.
namespace console {

void printMessage(const QString &line);
void printStatus(const QString &text);
void printError(const QString &text);
// Forwarded output of the browser and help texts, unchanged.
void printDiagnostic(const QString &text);

} // namespace console
