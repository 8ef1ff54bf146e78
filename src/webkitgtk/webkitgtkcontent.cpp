#include "webkitgtkcontent.h"

#include "accesstoken.h"
#include "bridgeprompt.h"
#include "crashnotice.h"
#include "helperprocess.h"
#include "pagecompositor.h"
#include "pagemenu.h"
#include "pagepopups.h"
#include "pageview.h"
#include "zuvojsbridge.h"
#include "zuvolog.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

namespace msg = helpermessages;

namespace {

// Far longer than a web process that runs takes for a trivial script.
constexpr int hungPageMs = 500;

// Why WebKit's bubblewrap sandbox cannot start here, or empty when it can.
QString sandboxMissing()
{
    if (geteuid() == 0)
        return QStringLiteral("running as root: the page processes' sandbox cannot start and is turned off");
    if (QStandardPaths::findExecutable(QStringLiteral("bwrap")).isEmpty())
        return QStringLiteral("bubblewrap is not installed: the page processes' sandbox cannot start and is turned off");
    return QString();
}

bool sandboxCanStart()
{
    static const bool canStart = sandboxMissing().isEmpty();
    return canStart;
}

QString dialogTitle(WebContent::PageDialog kind, const QUrl &document)
{
    return WebContent::pageDialogTitle(kind, document.host());
}

} // namespace

WebContent *WebContent::create(QWidget *parent, ZuvoJsBridge *bridge)
{
    return new WebKitGtkContent(parent, bridge);
}

WebContent *WebContent::prepare()
{
    auto *content = new WebKitGtkContent(nullptr, nullptr);
    content->startPageProcess();
    return content;
}

void WebContent::prepareProcess()
{
    if (!sandboxCanStart())
        qCWarning(zuvoWeb).noquote() << sandboxMissing();
    // The engine's start takes longer than the browser's: it begins now.
    HelperProcess::startEarly(sandboxCanStart());
}

QString WebContent::engineName()
{
    return QStringLiteral("WebKitGTK");
}

WebKitGtkContent::WebKitGtkContent(QWidget *parent, ZuvoJsBridge *bridge)
    : SteppedZoomContent(parent)
    , _bridge(bridge)
    , _compositor(new PageCompositor(this))
    , _view(new PageView(_compositor, parent))
    , _helper(new HelperProcess(this))
    , _crashNotice(new CrashNotice(_view))
    , _popups(new PagePopups(_view, _helper))
{
    connect(_view, &PageView::zoomSteps, this, &SteppedZoomContent::zoomBy);
    connect(_view, &PageView::copyRequested, this, [this] { _helper->send(msg::toHelper::copy); });
    connect(_compositor, &PageCompositor::toplevelCreated, this, &WebKitGtkContent::showToplevel);
    connect(_helper, &HelperProcess::received, this, &WebKitGtkContent::handle);
    connect(_helper, &HelperProcess::ended, this, &WebKitGtkContent::onPageEnded);
    startHelper();
}

WebKitGtkContent::~WebKitGtkContent()
{
    delete _devTools;
    delete _helper;
    delete _view;
}

void WebKitGtkContent::startPageProcess()
{
    _helper->send(msg::toHelper::prepare);
}

void WebKitGtkContent::adopt(QWidget *parent, ZuvoJsBridge *bridge)
{
    _bridge = bridge;
    WebContent::adopt(parent, bridge);
}

void WebKitGtkContent::startHelper()
{
    if (const auto early = HelperProcess::takeEarly()) {
        _compositor->listenOn(early->listeningSocket, early->socketPath);
        _helper->adopt(*early);
    } else if (!_helper->start(_compositor->socketName(), sandboxCanStart())) {
        qCWarning(zuvoWeb) << "the page cannot be shown: its helper did not start";
        return;
    }
    _helper->send(msg::toHelper::start,
                  {QCoreApplication::applicationName(), bridgeprompt::pageScript(), bridgeprompt::marker(),
                   devToolsEnabled() ? QStringLiteral("1") : QString()});
    sendSettings();
}

void WebKitGtkContent::sendSettings()
{
    if (!_token.isEmpty())
        _helper->send(msg::toHelper::token, _token);
    if (!_trust.isEmpty())
        _helper->send(msg::toHelper::trust, _trust);
    if (_strictCertificates)
        _helper->send(msg::toHelper::certificates, _passingCertificates);
    if (zoomPercent() != 100)
        applyZoom();
}

QWidget *WebKitGtkContent::view() const
{
    return _view;
}

void WebKitGtkContent::showAddress(const QUrl &address)
{
    qCDebug(zuvoWeb) << "WebKitGtkContent::load";
    _savedAddresses.clear();
    _origins.allow(address);
    _crashNotice->hide();
    _pendingAddress = address;
    // A helper that ended (killed, say) is started anew for the next page.
    if (!_helper->isRunning()) {
        _pageShown = false;
        startHelper();
    }
    replaceIfHung();
    _helper->send(msg::toHelper::load, {address.toString(QUrl::FullyEncoded)});
}

void WebKitGtkContent::replaceIfHung()
{
    // WebKit lets the current web process finish its script before it
    // navigates there, which a script that never yields never does, and
    // notices such a page only after many seconds. A web process that cannot
    // answer a trivial script in time is ended instead, and the address
    // loads in a new one.
    if (!_pageShown)
        return;
    const int ping = ++_ping;
    _answeredPing = false;
    _helper->send(msg::toHelper::ping, {QString::number(ping)});
    QTimer::singleShot(hungPageMs, this, [this, ping] {
        if (ping != _ping || _answeredPing)
            return;
        qCDebug(zuvoWeb) << "page process" << _webProcess << "does not answer: ended";
        _helper->send(msg::toHelper::terminate);
        _helper->send(msg::toHelper::load, {_pendingAddress.toString(QUrl::FullyEncoded)});
    });
}

void WebKitGtkContent::setAccessToken(const QString &token)
{
    _token = QStringList{QString::fromLatin1(accesstoken::headerName()), accesstoken::sendable(token)};
    _helper->send(msg::toHelper::token, _token);
}

void WebKitGtkContent::setTrust(const TrustedOriginList &origins, const CertificateRule &certificates)
{
    _origins.setTrustedOrigins(origins);
    // The web process decides for each request with the same rule.
    _trust = QStringList{origins.isActive() ? QStringLiteral("1") : QString()};
    _trust += origins.patterns();
    _helper->send(msg::toHelper::trust, _trust);
    if (certificates.isStrict()) {
        _strictCertificates = true;
        _passingCertificates.clear();
        for (const QByteArray &fingerprint : certificates.fingerprints())
            _passingCertificates.append(QString::fromLatin1(fingerprint));
        _helper->send(msg::toHelper::certificates, _passingCertificates);
    }
}

QUrl WebKitGtkContent::url() const
{
    return _url;
}

QString WebKitGtkContent::title() const
{
    return _title;
}

bool WebKitGtkContent::canGoBack() const
{
    return _canGoBackInPage || !_savedAddresses.isEmpty();
}

void WebKitGtkContent::goBack()
{
    if (_canGoBackInPage) {
        _helper->send(msg::toHelper::back);
        return;
    }
    if (_savedAddresses.isEmpty())
        return;
    const QUrl address = _savedAddresses.dequeue();
    // As with any address ordered from outside the page, the rest is forgotten.
    _savedAddresses.clear();
    _helper->send(msg::toHelper::load, {address.toString(QUrl::FullyEncoded)});
}

void WebKitGtkContent::applyZoom()
{
    _helper->send(msg::toHelper::zoom, {QString::number(zoomPercent())});
}

void WebKitGtkContent::find(const QString &text, FindStep step)
{
    const QString stepName = step == FindStep::Restart ? QStringLiteral("restart")
                             : step == FindStep::Next  ? QStringLiteral("next")
                                                       : QStringLiteral("previous");
    _helper->send(msg::toHelper::find, {text, stepName});
}

void WebKitGtkContent::stopFinding()
{
    _helper->send(msg::toHelper::stopFinding);
}

void WebKitGtkContent::showDevTools()
{
    if (!devToolsEnabled())
        return;
    if (_devTools) {
        _devTools->raise();
        _devTools->activateWindow();
        return;
    }
    _helper->send(msg::toHelper::inspect);
}

void WebKitGtkContent::showToplevel(QWaylandXdgToplevel *toplevel, QWaylandXdgSurface *surface)
{
    if (!_view->showsToplevel()) {
        _view->showToplevel(toplevel, surface);
        return;
    }
    // Any later window of the helper is WebKit's developer tools, shown in a
    // window of their own; anything else is closed rather than left unseen.
    if (!devToolsEnabled() || _devTools) {
        toplevel->sendClose();
        return;
    }
    _devTools = new PageView(_compositor, nullptr);
    _devTools->setAttribute(Qt::WA_DeleteOnClose);
    _devTools->setWindowTitle(devToolsTitle());
    _devTools->resize(900, 600);
    _devTools->showToplevel(toplevel, surface);
    connect(surface, &QObject::destroyed, _devTools, &QWidget::close);
    connect(_devTools, &QObject::destroyed, toplevel, &QWaylandXdgToplevel::sendClose);
    _devTools->show();
}

void WebKitGtkContent::handle(const msg::Message &message)
{
    namespace in = msg::toBrowser;
    const std::string &name = message.name;
    if (_popups->handle(message))
        return;
    if (name == in::ready) {
        qCDebug(zuvoWeb).noquote() << "page helper" << messageField(message, 0);
    } else if (name == in::loadStarted) {
        _pageShown = true;
        _crashNotice->hide();
        emit loadStarted();
    } else if (name == in::loadFinished) {
        onLoadFinished(message);
    } else if (name == in::title) {
        _title = messageField(message, 0);
    } else if (name == in::url) {
        _url = QUrl(messageField(message, 0));
        emit urlChanged(_url);
    } else if (name == in::canGoBack) {
        _canGoBackInPage = message.field(0) == "1";
    } else if (name == in::bridgeCall) {
        answerBridgeCall(message);
    } else if (name == in::dialog) {
        openPageDialog(message);
    } else if (name == in::download) {
        emit downloadRequested(QUrl(messageField(message, 0)));
    } else if (name == in::findResult) {
        emit findResult(messageField(message, 0).toInt(), messageField(message, 1).toInt());
    } else if (name == in::contextMenu) {
        showContextMenu(message);
    } else if (name == in::newWindow) {
        onNewWindow(message);
    } else if (name == in::crashed) {
        // Ended on purpose, by the watchdog: the next page is on its way.
        if (message.field(0) != "terminated")
            onPageEnded();
    } else if (name == in::copied) {
        putOnClipboard(message);
    } else if (name == in::pong) {
        _answeredPing = _answeredPing || messageField(message, 0).toInt() == _ping;
    } else if (name == in::webProcess) {
        _webProcess = messageField(message, 0).toLongLong();
        qCDebug(zuvoWeb) << "page process" << _webProcess;
    } else if (name == in::resource) {
        answerResource(message);
    } else if (name == in::certificateRefused) {
        // The helper names the failed checks; the words are this side's, in
        // the window's language.
        const QUrl refused(messageField(message, 0));
        const QStringList problems = messageField(message, 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
        qCWarning(zuvoWeb).noquote() << "certificate refused for" << refused.host() + ":" << problems.join(QStringLiteral(", "));
        _helper->send(msg::toHelper::showRefusal, {certificateRefusalPage(refused.host(), certificateProblemText(problems)),
                                                   refused.toString(QUrl::FullyEncoded)});
    } else if (name == in::permission) {
        qCDebug(zuvoWeb) << "permission refused:" << messageField(message, 0) << "for"
                         << QUrl(messageField(message, 1)).adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
                                .toString(QUrl::RemoveUserInfo);
    }
}

void WebKitGtkContent::onLoadFinished(const msg::Message &message)
{
    const bool ok = message.field(0) == "1";
    // A document that runs no script asks for no bridge, so the end of a load
    // settles where the requested address led as well.
    if (ok)
        _origins.settle(QUrl(messageField(message, 1)), QUrl(messageField(message, 2)));
    qCDebug(zuvoWeb) << "WebKitGtkContent::loadFinished" << ok
                     << _url.toString(QUrl::RemoveQuery | QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    emit loadFinished(ok);
}

void WebKitGtkContent::answerResource(const msg::Message &message)
{
    QFile file(QLatin1Char(':') + messageField(message, 1));
    if (!file.open(QIODevice::ReadOnly)) {
        _helper->send(msg::toHelper::resource, {messageField(message, 0)});
        return;
    }
    const QByteArray bytes = file.readAll();
    const QString type = QMimeDatabase().mimeTypeForFileNameAndData(file.fileName(), bytes).name();
    _helper->send(msg::toHelper::resource,
                  std::vector<std::string>{message.field(0), type.toStdString(), bytes.toStdString()});
}

void WebKitGtkContent::answerBridgeCall(const msg::Message &message)
{
    QString result;
    const bool answered = bridgeprompt::answer(_origins, _bridge, QUrl(messageField(message, 1)), QUrl(messageField(message, 2)),
                                               messageField(message, 3), messageField(message, 4), &result);
    _helper->send(msg::toHelper::bridgeAnswer, {messageField(message, 0), answered ? QStringLiteral("1") : QString(), result});
}

void WebKitGtkContent::openPageDialog(const msg::Message &message)
{
    // Open, never exec: the helper waits for the answer, this process does
    // not, and the window closes what it finds among the view's children as
    // cancel when the link ends or another address comes.
    const QString id = messageField(message, 0);
    const QString kind = messageField(message, 1);
    const QUrl document(messageField(message, 2));
    QDialog *dialog = nullptr;
    if (kind == QLatin1String("prompt")) {
        auto *input = new QInputDialog(_view);
        input->setWindowTitle(dialogTitle(PageDialog::Prompt, document));
        input->setLabelText(messageField(message, 3));
        input->setTextValue(messageField(message, 4));
        dialog = input;
    } else {
        const bool confirm = kind == QLatin1String("confirm");
        auto *box = new QMessageBox(confirm ? QMessageBox::Question : QMessageBox::Information,
                                    dialogTitle(confirm ? PageDialog::Confirm : PageDialog::Alert, document),
                                    messageField(message, 3), confirm ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                                    _view);
        box->setTextFormat(Qt::PlainText);
        dialog = box;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, id, dialog](int result) {
        auto *input = qobject_cast<QInputDialog *>(dialog);
        auto *box = qobject_cast<QMessageBox *>(dialog);
        const bool accepted = input ? result == QDialog::Accepted
                                    : box && box->clickedButton() == box->button(QMessageBox::Ok);
        _helper->send(msg::toHelper::dialogAnswer,
                      {id, accepted ? QStringLiteral("1") : QString(), input ? input->textValue() : QString()});
    });
    dialog->open();
}

void WebKitGtkContent::showContextMenu(const msg::Message &message)
{
    pagemenu::Target target;
    target.link = QUrl(messageField(message, 0));
    target.hasSelection = message.field(1) == "1";
    target.isImage = message.field(2) == "1";
    target.canGoBack = canGoBack();

    pagemenu::Actions actions;
    const QUrl link = target.link;
    actions.copyLink = [link] { QGuiApplication::clipboard()->setText(link.toString(QUrl::FullyEncoded)); };
    actions.copy = [this] { _helper->send(msg::toHelper::copy); };
    actions.copyImage = [this] { _helper->send(msg::toHelper::copyImage); };
    actions.back = [this] { goBack(); };
    if (devToolsEnabled())
        actions.inspect = [this] { showDevTools(); };
    if (QMenu *menu = pagemenu::build(target, actions, view()))
        menu->popup(QCursor::pos());
}

void WebKitGtkContent::putOnClipboard(const msg::Message &message)
{
    const QByteArray bytes = QByteArray::fromStdString(message.field(1));
    if (message.field(0) == "image/png")
        QGuiApplication::clipboard()->setImage(QImage::fromData(bytes, "PNG"));
    else
        QGuiApplication::clipboard()->setText(QString::fromUtf8(bytes));
}

void WebKitGtkContent::onNewWindow(const msg::Message &message)
{
    // The helper loads the new window's address in this page; "back" still
    // leads to where the user was.
    QList<QUrl> currentBackToFirst;
    for (size_t index = 1; index < message.fields.size(); ++index)
        currentBackToFirst.append(QUrl(messageField(message, index)));
    saveAddresses(_savedAddresses, currentBackToFirst);
}

void WebKitGtkContent::onPageEnded()
{
    closePageDialogs();
    qCDebug(zuvoWeb) << "page process ended";
    _crashNotice->showOverPage();
}
