#pragma once

#include <QByteArray>
#include <QMutex>
#include <QWebEngineUrlRequestInterceptor>

// Puts the host's access token on every request of the profile's pages:
// documents, sub-resources and script requests, to every host.
class TokenInterceptor : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Empty: requests go without the header.
    void setToken(const QByteArray &token);
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    // Guarded, as the engine decides on which thread it asks.
    QMutex _mutex;
    QByteArray _token;
};
