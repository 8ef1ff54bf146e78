#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>

#include "trustedorigins.h"

class QPixmap;

// Process-wide settings sent by the host, with their built-in defaults and the
// display-scale rule. No instances and no signals: widgets read the values
// when they are built, resized or painted.
class ZuvoChatWBConfigure
{
public:
    enum DBIScale {
        dbisAuto = 0,
        dbisOne = 1,
        dbisOneAndQuarter = 2,
        dbisOneAndHalf = 3,
        dbisTwo = 4,
        dbisScaleCount = 5,
    };

    ZuvoChatWBConfigure() = delete;

    static void init();

    // The display class of a screen's logical DPI; the bounds themselves
    // belong to the lower class.
    static DBIScale scaleForLogicalDpi(double dpi);

    template <typename T>
    static T convertScale(T value);

    static QString Title();
    static void SetTitle(QString value);
    static int TitleHeight();
    static void SetTitleHeight(int value);
    static int TitleLeft();
    static void SetTitleLeft(int value);
    static int TitleRight();
    static void SetTitleRight(int value);
    static int TitleSkip();
    static void SetTitleSkip(int value);
    static int MiniWidth();
    static void SetMiniWidth(int value);
    static QBrush TitleBG();
    static void SetTitleBG(QBrush value);
    static QBrush ContainerBG();
    static void SetContainerBG(QBrush value);
    static QColor ShadowColor();
    static void SetShadowColor(QColor value);

    // The texts below are the host's once it sent one, else the built-in
    // text in the language in force when read.
    static QString TitleRefreshText();
    static void SetTitleRefreshText(QString value);
    static QString TitleCollectText();
    static void SetTitleCollectText(QString value);
    static QString TitleShareText();
    static void SetTitleShareText(QString value);
    static QString TitleChannelText();
    static void SetTitleChannelText(QString value);
    static QString TitleOpenOutsideText();
    static void SetTitleOpenOutsideText(QString value);
    static QString TitleWebFileText();
    static void SetTitleWebFileText(QString value);

    static QString WebFileEmptyText();
    static void SetWebFileEmptyText(QString value);
    static QString WebFileSuccessText();
    static void SetWebFileSuccessText(QString value);
    static QString WebFileFailedText();
    static void SetWebFileFailedText(QString value);
    static QString WebFileOpenInFolderText();
    static void SetWebFileOpenInFolderText(QString value);
    static QString WebFileBackText();
    static void SetWebFileBackText(QString value);
    static QString WebFileRedownloadText();
    static void SetWebFileRedownloadText(QString value);
    static QString WebFileMissedText();
    static void SetWebFileMissedText(QString value);
    static QString WebFileRemoveAllText();
    static void SetWebFileRemoveAllText(QString value);
    static QString WebFileRemoveTipsText();
    static void SetWebFileRemoveTipsText(QString value);
    static QString WebFileRemoveAllTipsText();
    static void SetWebFileRemoveAllTipsText(QString value);

    static QRect Geometry();
    static void SetGeometry(QRect value);
    static bool Maxsized();
    static void SetMaxsized(bool value);
    // The position of the host's last "windowsRect", (0, 0) before any: where
    // the window cannot learn its own position, it reports this one back.
    static QPoint HostPosition();
    static void SetHostPosition(QPoint value);

    static QString InfoOK();
    static void SetInfoOK(QString value);
    static QString InfoCancel();
    static void SetInfoCancel(QString value);
    static QSize InfoBoxSize();
    static void SetInfoBoxSize(QSize value);
    static QMargins InfoBoxMargins();
    static void SetInfoBoxMargins(QMargins value);
    static QString InfoDelete();
    static void SetInfoDelete(QString value);
    static QString InfoClean();
    static void SetInfoClean(QString value);

    static QString AccessToken();
    static void SetAccessToken(QString value);
    // Like the token, both reach the page from the next address it loads.
    static TrustedOriginList TrustedOrigins();
    static void SetTrustedOrigins(TrustedOriginList value);
    static CertificateRule StrictCertificates();
    static void SetStrictCertificates(CertificateRule value);

    // The host's language tag (BCP 47, "zh-CN"); empty follows the desktop.
    // Applied at once: an open window's texts follow.
    static QString Language();
    static void SetLanguage(QString value);

    static bool TitleCheckChannelShow();
    static void SetTitleCheckChannelShow(bool value);
    static bool TitleOpenOutsideShow();
    static void SetTitleOpenOutsideShow(bool value);
    static bool TitleStoreToZuvoShow();
    static void SetTitleStoreToZuvoShow(bool value);
    static bool TitleShareToFriendShow();
    static void SetTitleShareToFriendShow(bool value);

    static QFont font();

    static DBIScale ScreenScale();
    static void SetScreenScale(DBIScale value);
    static DBIScale RealScale();
    static void SetRealScale(DBIScale value);
    static DBIScale ConfigScale();
    static void SetConfigScale(DBIScale value);
    static bool Retina();
    static void SetRetina(bool value);
    static double RetinaFactor();
    static void SetRetinaFactor(double value);

    // The six title-bar images live in the Resource singleton; ownership of a
    // pixmap handed to a setter passes to it.
    static QPixmap *WindowIcon();
    static void SetWindowIcon(QPixmap *value);
    static QPixmap *TitleChannelLogo();
    static void SetTitleChannelLogo(QPixmap *value);
    static QPixmap *TitleMiniIcon();
    static void SetTitleMiniIcon(QPixmap *value);
    static QPixmap *TitleMaxIcon();
    static void SetTitleMaxIcon(QPixmap *value);
    static QPixmap *TitleRestoreIcon();
    static void SetTitleRestoreIcon(QPixmap *value);
    static QPixmap *TitleCloseIcon();
    static void SetTitleCloseIcon(QPixmap *value);

private:
    static DBIScale scaleInForce();
};

namespace zuvo_scale_detail {
int convertScaleInt(int value, ZuvoChatWBConfigure::DBIScale scale);
}

template <typename T>
T ZuvoChatWBConfigure::convertScale(T value)
{
    return static_cast<T>(zuvo_scale_detail::convertScaleInt(static_cast<int>(value), scaleInForce()));
}

// The free form of the same conversion, used by the image loader.
template <typename T>
T convertScale(T value)
{
    return ZuvoChatWBConfigure::convertScale<T>(value);
}
