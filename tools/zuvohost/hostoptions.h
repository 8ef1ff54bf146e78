#pragma once

#include <QString>
#include <QStringList>

struct HostOptions {
    QString browserPath;
    QString configPath;
    QString url;
    QString historyPath;
    bool quietBrowser = false;
    bool exitOnEndOfInput = false;
    bool keepReady = false;
};

struct ParsedCommandLine {
    HostOptions options;
    bool helpRequested = false;
    QString error;
};

// hostDir is where zuvohost itself lives; it anchors the default browser path.
ParsedCommandLine parseCommandLine(const QStringList &arguments, const QString &hostDir);

// The browser next to the host (an installation), else the one in the build
// tree (build/tools/zuvohost/zuvohost and build/src/zuvochatwebbroswer).
// Empty when neither exists.
QString findBrowser(const QString &hostDir);

QString usageText();
