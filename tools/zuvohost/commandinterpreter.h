#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>

// One line of the host's command input, read into what the session should do.
struct HostCommand {
    enum class Kind { Nothing, Send, SetUserInfo, Sleep, Quit, Help, Invalid };

    Kind kind = Kind::Nothing;
    QByteArray wire;      // Send: the bytes to write
    QString text;         // SetUserInfo: the new information; Invalid: what is wrong
    int milliseconds = 0; // Sleep
};

// Blank lines and lines starting with "#" do nothing, so scripts can hold
// comments. Image paths in "config" are relative to workingDir.
HostCommand interpretCommand(const QString &line, const QDir &workingDir);

// The command summary that --help and "help" print.
QString commandHelp();
