#include "zuvowebkitpage.h"

#include "webcontent.h"
#include "zuvowebkitnetworkmanager.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QWebFrame>
#include <QWebSettings>

ZuvoWebKitPage::ZuvoWebKitPage(QObject *parent)
    : QWebPage(parent)
{
    QWebSettings *pageSettings = settings();
    pageSettings->setAttribute(QWebSettings::PluginsEnabled, false);
    pageSettings->setAttribute(QWebSettings::JavaEnabled, false);
}

bool ZuvoWebKitPage::supportsExtension(Extension extension) const
{
    return extension == ErrorPageExtension;
}

bool ZuvoWebKitPage::extension(Extension extension, const ExtensionOption *option, ExtensionReturn *output)
{
    if (extension != ErrorPageExtension || !option || !output)
        return false;
    const auto *failure = static_cast<const ErrorPageExtensionOption *>(option);
    const auto *network = qobject_cast<ZuvoWebKitNetworkManager *>(networkAccessManager());
    const QString reason = network ? network->certificateRefusal(failure->url) : QString();
    // Every other failure shows what it always showed.
    if (reason.isEmpty())
        return false;
    auto *page = static_cast<ErrorPageExtensionReturn *>(output);
    page->content = WebContent::certificateRefusalPage(failure->url.host(), reason).toUtf8();
    page->contentType = QStringLiteral("text/html");
    page->encoding = QStringLiteral("UTF-8");
    page->baseUrl = failure->url;
    return true;
}

namespace {

QString dialogTitle(WebContent::PageDialog kind, const QWebPage *page)
{
    return WebContent::pageDialogTitle(kind, page->mainFrame()->url().host());
}

} // namespace

void ZuvoWebKitPage::javaScriptAlert(QWebFrame *, const QString &msg)
{
    QMessageBox box(QMessageBox::Information, dialogTitle(WebContent::PageDialog::Alert, this), msg,
                    QMessageBox::Ok, view());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool ZuvoWebKitPage::javaScriptConfirm(QWebFrame *, const QString &msg)
{
    QMessageBox box(QMessageBox::Question, dialogTitle(WebContent::PageDialog::Confirm, this), msg,
                    QMessageBox::Ok | QMessageBox::Cancel, view());
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Ok;
}

bool ZuvoWebKitPage::javaScriptPrompt(QWebFrame *, const QString &msg, const QString &defaultValue, QString *result)
{
    QInputDialog dialog(view());
    dialog.setWindowTitle(dialogTitle(WebContent::PageDialog::Prompt, this));
    dialog.setLabelText(msg);
    dialog.setTextValue(defaultValue);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (result)
        *result = dialog.textValue();
    return true;
}
