#pragma once

#include "hostlink.h"
#include "x11driver.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

class QTemporaryDir;

// A configuration as the host sends it: command and text, in order.
using HostSettings = QList<QPair<QString, QString>>;

// The real browser process with this test as its host: a HostLink on the
// endpoint the browser derives from its folder, and the browser's one window
// found on the X server.
class BrowserRun : public QObject
{
    Q_OBJECT

public:
    explicit BrowserRun(const QString &executable = underTest(), QObject *parent = nullptr);

    // The executable the end-to-end tests run: ZUVO_TEST_BROWSER names
    // another engine's build, else the default one.
    static QString underTest();
    // For the few behaviours where the engines differ by design: whether the
    // page runs in a process of its own (WebEngine, WebKitGTK).
    static bool underTestHasPageProcess();
    ~BrowserRun() override;

    // A copy of the browser in dir: its endpoint is its own, so no other
    // host or browser can get in its way.
    static QString copyInto(const QTemporaryDir &dir);
    static QString endpointOf(const QString &executable);

    // Listens, starts the browser and waits until it has connected.
    bool start(int timeoutMs);
    HostLink &host() { return _host; }
    QProcess &process() { return _process; }
    qint64 pid() const { return _process.processId(); }

    void send(const QString &group, const QString &command, const QString &text);
    // Sends the message and applies the same bytes to this process's
    // configuration store, so that layouts built here match the browser's.
    void sendAndMirror(const QString &group, const QString &command, const QString &text);
    void configure(const HostSettings &settings);
    void showUrl(const QUrl &url);

    // The browser's window once it is mapped; 0 if none appeared in time.
    x11::WindowId waitForWindow(int timeoutMs) const;

    // Payload texts of every message of this command received so far.
    QStringList texts(const QString &command) const;
    // The latest of them; empty when there is none yet.
    QString lastText(const QString &command) const;
    // Answers the browser's user-information queries with this text.
    void answerUserInfo(const QString &info);

private:
    void onMessage(const HostLink::Message &message);
    void reportFailure();

    QString _executable;
    HostLink _host;
    QProcess _process;
    QString _userInfo;
    bool _answersUserInfo = false;
};
