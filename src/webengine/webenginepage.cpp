#include "webenginepage.h"

#include "bridgeprompt.h"
#include "webcontent.h"
#include "zuvojsbridge.h"
#include "zuvolog.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QWebEngineCertificateError>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QSslCertificate>

namespace {

QString dialogTitle(WebContent::PageDialog kind, const QUrl &securityOrigin)
{
    return WebContent::pageDialogTitle(kind, securityOrigin.host());
}

} // namespace

ZuvoWebEnginePage::ZuvoWebEnginePage(QWebEngineProfile *profile, ZuvoJsBridge *bridge, QObject *parent)
    : CertificateCheckingPage(profile, parent)
    , _bridge(bridge)
{
    webenginecompat::refusePermissions(this, [](const QUrl &securityOrigin, const char *what) {
        qCDebug(zuvoWeb) << "permission refused:" << what << "for" << securityOrigin.toString(QUrl::RemoveUserInfo);
    });
    // A document that runs no script asks for no bridge, so the end of a load
    // settles where the requested address led as well. A failed load is
    // skipped: the previous load, cancelled by the host's new address, would
    // otherwise settle it too early.
    connect(this, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (ok)
            _origins.settle(requestedUrl(), url());
    });
}

void ZuvoWebEnginePage::setBridge(ZuvoJsBridge *bridge)
{
    _bridge = bridge;
}

void ZuvoWebEnginePage::allowBridgeOrigin(const QUrl &requested)
{
    _origins.allow(requested);
}

QWebEnginePage *ZuvoWebEnginePage::createWindow(WebWindowType type)
{
    if (type == WebDialog)
        return nullptr;
    // The new window's content replaces this page; "back" still leads to
    // where the user was.
    saveHistory();
    return this;
}

void ZuvoWebEnginePage::saveHistory()
{
    const QWebEngineHistory *pageHistory = history();
    if (!pageHistory || pageHistory->currentItemIndex() < 0)
        return;
    QList<QUrl> currentBackToFirst;
    for (int index = pageHistory->currentItemIndex(); index >= 0; --index)
        currentBackToFirst.append(pageHistory->itemAt(index).url());
    WebContent::saveAddresses(_savedAddresses, currentBackToFirst);
}

void ZuvoWebEnginePage::setTrust(const TrustedOriginList &origins, const CertificateRule &certificates)
{
    _origins.setTrustedOrigins(origins);
    _trustedOrigins = origins;
    _certificates = certificates;
}

bool ZuvoWebEnginePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (type != NavigationTypeRedirect || !isMainFrame || !_trustedOrigins.isActive() || _trustedOrigins.isTrusted(url))
        return true;
    qCDebug(zuvoWeb).noquote() << "redirect away from the trusted origins stopped, loading anew:"
                               << url.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo);
    emit redirectStopped(url);
    return false;
}

bool ZuvoWebEnginePage::acceptsDespiteError(const QWebEngineCertificateError &error)
{
    const QList<QSslCertificate> chain = error.certificateChain();
    if (_certificates.acceptsDespiteErrors(chain.isEmpty() ? QByteArray() : chain.first().toDer()))
        return true;
    // Refused, the engine shows its own error page, which has no way on.
    qCWarning(zuvoWeb).noquote() << "certificate refused for" << error.url().host() + ":" << describe(error);
    return false;
}

QWidget *ZuvoWebEnginePage::dialogParent() const
{
    // The window closes what it finds among the view's children when the
    // link ends or another address comes.
    return webenginecompat::viewOf(this);
}

void ZuvoWebEnginePage::javaScriptAlert(const QUrl &securityOrigin, const QString &msg)
{
    QMessageBox box(QMessageBox::Information, dialogTitle(WebContent::PageDialog::Alert, securityOrigin), msg, QMessageBox::Ok,
                    dialogParent());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool ZuvoWebEnginePage::javaScriptConfirm(const QUrl &securityOrigin, const QString &msg)
{
    QMessageBox box(QMessageBox::Question, dialogTitle(WebContent::PageDialog::Confirm, securityOrigin), msg,
                    QMessageBox::Ok | QMessageBox::Cancel, dialogParent());
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Ok;
}

bool ZuvoWebEnginePage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                                         const QString &defaultValue, QString *result)
{
    const QString marker = bridgeprompt::marker();
    if (msg.startsWith(marker))
        return bridgeprompt::answer(_origins, _bridge, requestedUrl(), securityOrigin, msg.mid(marker.size()),
                                    defaultValue, result);
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(dialogTitle(WebContent::PageDialog::Prompt, securityOrigin));
    dialog.setLabelText(msg);
    dialog.setTextValue(defaultValue);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *result = dialog.textValue();
    return true;
}
