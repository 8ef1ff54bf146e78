#pragma once

// Qt WebEngine's API moved between Qt 5 and Qt 6 (and its permissions again
// in Qt 6.8). The page and the view use what they need through this header,
// so no other file asks which Qt it is built with.

#include <QUrl>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QWebEngineContextMenuRequest>
#include <QWebEngineDownloadRequest>
#else
#include <QWebEngineContextMenuData>
#include <QWebEngineDownloadItem>
#endif
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#include <QWebEnginePermission>
#endif

namespace webenginecompat {

// What QWebEngineProfile::downloadRequested hands over.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
using DownloadRequest = QWebEngineDownloadRequest;
#else
using DownloadRequest = QWebEngineDownloadItem;
#endif

// A page that decides on each certificate error with acceptsDespiteError():
// Qt 5 asks a virtual function, Qt 6 emits a signal to be answered.
class CertificateCheckingPage : public QWebEnginePage
{
public:
    CertificateCheckingPage(QWebEngineProfile *profile, QObject *parent)
        : QWebEnginePage(profile, parent)
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        connect(this, &QWebEnginePage::certificateError, this, [this](QWebEngineCertificateError error) {
            if (acceptsDespiteError(error))
                error.acceptCertificate();
            else
                error.rejectCertificate();
        });
#endif
    }

protected:
    virtual bool acceptsDespiteError(const QWebEngineCertificateError &error) = 0;

    static QString describe(const QWebEngineCertificateError &error)
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        return error.description();
#else
        return error.errorDescription();
#endif
    }

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    bool certificateError(const QWebEngineCertificateError &error) override { return acceptsDespiteError(error); }
#endif
};

// Turns down, without asking, every permission the pages of a page ask for
// (camera, microphone, screen, location, notifications...); refused is told
// the origin and what it asked for, in words.
inline void refusePermissions(QWebEnginePage *page, std::function<void(const QUrl &, const char *)> refused)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QObject::connect(page, &QWebEnginePage::permissionRequested, page,
                     [refused](QWebEnginePermission permission) {
                         const char *name = "a feature";
                         switch (permission.permissionType()) {
                         case QWebEnginePermission::PermissionType::Geolocation: name = "location"; break;
                         case QWebEnginePermission::PermissionType::MediaAudioCapture: name = "microphone"; break;
                         case QWebEnginePermission::PermissionType::MediaVideoCapture: name = "camera"; break;
                         case QWebEnginePermission::PermissionType::MediaAudioVideoCapture:
                             name = "camera and microphone";
                             break;
                         case QWebEnginePermission::PermissionType::MouseLock: name = "mouse lock"; break;
                         case QWebEnginePermission::PermissionType::DesktopVideoCapture: name = "screen"; break;
                         case QWebEnginePermission::PermissionType::DesktopAudioVideoCapture:
                             name = "screen and sound";
                             break;
                         case QWebEnginePermission::PermissionType::Notifications: name = "notifications"; break;
                         default: break;
                         }
                         refused(permission.origin(), name);
                         permission.deny();
                     });
#else
    QObject::connect(page, &QWebEnginePage::featurePermissionRequested, page,
                     [page, refused](const QUrl &securityOrigin, QWebEnginePage::Feature feature) {
                         const char *name = "a feature";
                         switch (feature) {
                         case QWebEnginePage::Geolocation: name = "location"; break;
                         case QWebEnginePage::MediaAudioCapture: name = "microphone"; break;
                         case QWebEnginePage::MediaVideoCapture: name = "camera"; break;
                         case QWebEnginePage::MediaAudioVideoCapture: name = "camera and microphone"; break;
                         case QWebEnginePage::MouseLock: name = "mouse lock"; break;
                         case QWebEnginePage::DesktopVideoCapture: name = "screen"; break;
                         case QWebEnginePage::DesktopAudioVideoCapture: name = "screen and sound"; break;
                         case QWebEnginePage::Notifications: name = "notifications"; break;
                         }
                         refused(securityOrigin, name);
                         page->setFeaturePermission(securityOrigin, feature, QWebEnginePage::PermissionDeniedByUser);
                     });
#endif
}

// The view that shows a page, if one does.
inline QWidget *viewOf(const QWebEnginePage *page)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QWebEngineView::forPage(page);
#else
    return page->view();
#endif
}

// What was under the pointer when the view's context menu was asked for.
struct ContextMenuTarget {
    QUrl link;
    bool hasSelection = false;
    bool isImage = false;
};

inline ContextMenuTarget lastContextMenuTarget(const QWebEngineView *view)
{
    ContextMenuTarget target;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QWebEngineContextMenuRequest *request = view->lastContextMenuRequest();
    if (!request)
        return target;
    target.link = request->linkUrl();
    target.hasSelection = !request->selectedText().isEmpty();
    target.isImage = request->mediaType() == QWebEngineContextMenuRequest::MediaTypeImage;
#else
    const QWebEngineContextMenuData &data = view->page()->contextMenuData();
    target.link = data.linkUrl();
    target.hasSelection = !data.selectedText().isEmpty();
    target.isImage = data.mediaType() == QWebEngineContextMenuData::MediaTypeImage;
#endif
    return target;
}

} // namespace webenginecompat
