#pragma once

#include "helpermessages.h"

#include <QObject>
#include <QStringList>

class QProcess;

// The page's helper program, started beside the browser, drawing on the
// browser's compositor and talked to over its stdin and stdout. Its stdin
// closing is what ends it, so it never outlives the browser.
class HelperProcess : public QObject
{
    Q_OBJECT

public:
    explicit HelperProcess(QObject *parent = nullptr);
    ~HelperProcess() override;

    // With sandbox, WebKit's page processes run in bubblewrap; the helper
    // must know before its first page process starts.
    bool start(const QString &waylandDisplay, bool sandbox);
    void send(const char *name, const QStringList &fields = {});
    void send(const char *name, const std::vector<std::string> &fields);
    qint64 processId() const;
    bool isRunning() const;

    // Where the helper and the web process extension are looked for.
    static QString helperPath();
    static QString extensionFolder();

signals:
    void received(const helpermessages::Message &message);
    void ended();

private:
    void readMessages();

    QProcess *_process;
    helpermessages::Framer _framer;
};
