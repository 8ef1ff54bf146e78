#pragma once

#include "httpfixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

// What a benchmark of the real browser process starts from: the executable
// given as its argument, copied into a folder of its own so that its endpoint
// is this program's alone, and an HTTP server on loopback for its pages.
struct ProcessBench {
    QTemporaryDir dir;
    QString executable;
    testsupport::HttpFixture server;

    // Says why on stderr and returns false when either cannot be had.
    bool setUp(const char *argument)
    {
        const QString copy = dir.filePath(QFileInfo(QString::fromLocal8Bit(argument)).fileName());
        if (!QFile::copy(QString::fromLocal8Bit(argument), copy)) {
            std::fprintf(stderr, "cannot copy %s\n", argument);
            return false;
        }
        executable = copy;
        if (!server.listenOn()) {
            std::fprintf(stderr, "no HTTP server on loopback\n");
            return false;
        }
        return true;
    }
};
