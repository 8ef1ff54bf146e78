#include "zuvochatwbconfigure.h"

#include "language.h"
#include "linux/pspecific_linux.h"
#include "resource.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

namespace {

ZuvoChatWBConfigure::DBIScale _screenScale = ZuvoChatWBConfigure::dbisAuto;
bool _retina = false;
double _retinaFactor = 0.0;
ZuvoChatWBConfigure::DBIScale _configScale = ZuvoChatWBConfigure::dbisAuto;
ZuvoChatWBConfigure::DBIScale _realScale = ZuvoChatWBConfigure::dbisAuto;
QString _titleRefreshText;
QString _titleCollectText;
QString _titleShareText;
QString _titleCheckChannelText;
QString _titleOpenOutsideText;
QString _titleWebFileText;
bool _isTitleCheckChannelBtnShow = false;
bool _isTitleOpenOutsideBtnShow = false;
bool _isTitleStoreToZuvoBtnShow = false;
bool _isTitleShareToFriendBtnShow = false;
qint32 _titleHeight = 0;
qint32 _titleLeft = 0;
qint32 _titleRight = 0;
qint32 _titleSkip = 0;
QBrush _titleBg;
QBrush _containerBg;
QColor _shadowColor;
qint32 _miniWidth = 0;
QString _title;
QRect _geometry;
bool _maxsized = false;
QPoint _hostPosition;
QString _infoOK;
QString _infoCancel;
QSize _infoBoxSize;
QMargins _infoBoxMargins;
QString _infoDelete;
QString _infoClean;
QString _accessToken;
QString _language;
TrustedOriginList _trustedOrigins;
CertificateRule _strictCertificates;
QString _webFileEmptyLabel;
QString _webFileSuccessText;
QString _webFileFailedText;
QString _webFileOpenInFolderText;
QString _webFileBackText;
QString _webFileRedownloadText;
QString _webFileMissedText;
QString _webFileRemoveAllText;
QString _webFileRemoveTipsText;
QString _webFileRemoveAllTipsText;
QFont _defaultFont;

void setScaleFromScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen)
        _screenScale = ZuvoChatWBConfigure::scaleForLogicalDpi(psLogicalDpi(screen));

    const double ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    if (ratio > 1.0) {
        _retinaFactor = ratio;
        _retina = true;
        _configScale = ZuvoChatWBConfigure::dbisOne;
        _realScale = ZuvoChatWBConfigure::dbisOne;
    }
}

// The built-in texts stand while the host has sent none of its own, in the
// language in force when they are read: a window built, or a language
// changed, after the host's last word shows them translated.
QString hostOr(const QString &hostText, const char *builtIn)
{
    return hostText.isEmpty() ? QCoreApplication::translate("ZuvoChatWBConfigure", builtIn) : hostText;
}

void clearHostTexts()
{
    for (QString *text : {&_titleRefreshText, &_titleCollectText, &_titleShareText, &_titleCheckChannelText,
                          &_titleOpenOutsideText, &_titleWebFileText, &_webFileEmptyLabel, &_webFileSuccessText,
                          &_webFileFailedText, &_webFileOpenInFolderText, &_webFileBackText, &_webFileRedownloadText,
                          &_webFileMissedText, &_webFileRemoveAllText, &_webFileRemoveTipsText,
                          &_webFileRemoveAllTipsText, &_infoOK, &_infoCancel, &_infoDelete, &_infoClean})
        text->clear();
}

void setDefaultFont()
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/font/OpenSans-Regular.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
        _defaultFont = QFont();
        return;
    }
    QFont font(QStringLiteral("Open Sans"));
    font.setPixelSize(ZuvoChatWBConfigure::convertScale(14));
    _defaultFont = font;
}

} // namespace

namespace zuvo_scale_detail {

int convertScaleInt(int value, ZuvoChatWBConfigure::DBIScale scale)
{
    // The 0.01 makes exact halves round down, so 2 stays 2 at 125 %.
    switch (scale) {
    case ZuvoChatWBConfigure::dbisOneAndQuarter:
        return qRound(value * 1.25 - 0.01);
    case ZuvoChatWBConfigure::dbisOneAndHalf:
        return qRound(value * 1.5 - 0.01);
    case ZuvoChatWBConfigure::dbisTwo:
        return value * 2;
    default:
        return value;
    }
}

} // namespace zuvo_scale_detail

void ZuvoChatWBConfigure::init()
{
    _retinaFactor = 1.0;
    _retina = false;
    _screenScale = dbisOne;
    _configScale = dbisAuto;
    _realScale = dbisAuto;
    setScaleFromScreen();

    _miniWidth = 520;
    _titleLeft = 5;
    _titleHeight = 40;
    _titleRight = 5;
    _titleSkip = 5;
    _titleBg = QBrush(Qt::lightGray, Qt::SolidPattern);
    _containerBg = QBrush(Qt::white, Qt::SolidPattern);
    _shadowColor = QColor(Qt::gray);
    clearHostTexts();

    _geometry = QRect(convertScale(10), convertScale(10), convertScale(520), convertScale(850));
    _maxsized = false;
    _hostPosition = QPoint();

    _infoBoxSize = QSize(convertScale(300), convertScale(100));
    _infoBoxMargins = QMargins(convertScale(20), convertScale(20), convertScale(22), convertScale(16));

    setDefaultFont();

    _isTitleStoreToZuvoBtnShow = true;
    _isTitleShareToFriendBtnShow = true;
}

ZuvoChatWBConfigure::DBIScale ZuvoChatWBConfigure::scaleForLogicalDpi(double dpi)
{
    if (dpi > 168)
        return dbisTwo;
    if (dpi > 132)
        return dbisOneAndHalf;
    if (dpi > 108)
        return dbisOneAndQuarter;
    return dbisOne;
}

ZuvoChatWBConfigure::DBIScale ZuvoChatWBConfigure::scaleInForce()
{
    return _realScale == dbisAuto ? _screenScale : _realScale;
}

#define ZUVO_SETTING(Type, Getter, Setter, variable)                  \
    Type ZuvoChatWBConfigure::Getter() { return variable; }           \
    void ZuvoChatWBConfigure::Setter(Type value) { variable = value; }

// The host's text once it sent one, else the built-in one, translated.
#define ZUVO_TEXT_SETTING(Getter, Setter, variable, builtIn)                   \
    QString ZuvoChatWBConfigure::Getter() { return hostOr(variable, builtIn); } \
    void ZuvoChatWBConfigure::Setter(QString value) { variable = value; }

ZUVO_SETTING(QString, Title, SetTitle, _title)
ZUVO_SETTING(int, TitleHeight, SetTitleHeight, _titleHeight)
ZUVO_SETTING(int, TitleLeft, SetTitleLeft, _titleLeft)
ZUVO_SETTING(int, TitleRight, SetTitleRight, _titleRight)
ZUVO_SETTING(int, TitleSkip, SetTitleSkip, _titleSkip)
ZUVO_SETTING(int, MiniWidth, SetMiniWidth, _miniWidth)
ZUVO_SETTING(QBrush, TitleBG, SetTitleBG, _titleBg)
ZUVO_SETTING(QBrush, ContainerBG, SetContainerBG, _containerBg)
ZUVO_SETTING(QColor, ShadowColor, SetShadowColor, _shadowColor)
ZUVO_TEXT_SETTING(TitleRefreshText, SetTitleRefreshText, _titleRefreshText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Refresh"))
//: Title-bar button: keep this page in the chat service
ZUVO_TEXT_SETTING(TitleCollectText, SetTitleCollectText, _titleCollectText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Collect"))
ZUVO_TEXT_SETTING(TitleShareText, SetTitleShareText, _titleShareText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Share"))
//: Title-bar button: open the page's channel in the chat client
ZUVO_TEXT_SETTING(TitleChannelText, SetTitleChannelText, _titleCheckChannelText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Channel"))
//: Title-bar button: open the page in the desktop's web browser
ZUVO_TEXT_SETTING(TitleOpenOutsideText, SetTitleOpenOutsideText, _titleOpenOutsideText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Open Outside"))
//: Title-bar button that opens the list of downloads
ZUVO_TEXT_SETTING(TitleWebFileText, SetTitleWebFileText, _titleWebFileText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Download History"))
//: Shown in place of the list while there are no downloads
ZUVO_TEXT_SETTING(WebFileEmptyText, SetWebFileEmptyText, _webFileEmptyLabel, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Download Empty"))
ZUVO_TEXT_SETTING(WebFileSuccessText, SetWebFileSuccessText, _webFileSuccessText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Download succeed"))
ZUVO_TEXT_SETTING(WebFileFailedText, SetWebFileFailedText, _webFileFailedText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Dwonload failed"))
ZUVO_TEXT_SETTING(WebFileOpenInFolderText, SetWebFileOpenInFolderText, _webFileOpenInFolderText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Open in folder"))
//: Title-bar button: from the list of downloads back to the page
ZUVO_TEXT_SETTING(WebFileBackText, SetWebFileBackText, _webFileBackText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Back"))
ZUVO_TEXT_SETTING(WebFileRedownloadText, SetWebFileRedownloadText, _webFileRedownloadText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Download again"))
ZUVO_TEXT_SETTING(WebFileMissedText, SetWebFileMissedText, _webFileMissedText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "File has been moved or deleted"))
//: Button under the list of downloads: remove every entry
ZUVO_TEXT_SETTING(WebFileRemoveAllText, SetWebFileRemoveAllText, _webFileRemoveAllText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Clean"))
ZUVO_TEXT_SETTING(WebFileRemoveTipsText, SetWebFileRemoveTipsText, _webFileRemoveTipsText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Delete this download record?"))
ZUVO_TEXT_SETTING(WebFileRemoveAllTipsText, SetWebFileRemoveAllTipsText, _webFileRemoveAllTipsText, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Clean all download record?"))
ZUVO_SETTING(QRect, Geometry, SetGeometry, _geometry)
ZUVO_SETTING(bool, Maxsized, SetMaxsized, _maxsized)
ZUVO_SETTING(QPoint, HostPosition, SetHostPosition, _hostPosition)
//: The button of a message box
ZUVO_TEXT_SETTING(InfoOK, SetInfoOK, _infoOK, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Ok"))
ZUVO_TEXT_SETTING(InfoCancel, SetInfoCancel, _infoCancel, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Cancel"))
ZUVO_SETTING(QSize, InfoBoxSize, SetInfoBoxSize, _infoBoxSize)
ZUVO_SETTING(QMargins, InfoBoxMargins, SetInfoBoxMargins, _infoBoxMargins)
ZUVO_TEXT_SETTING(InfoDelete, SetInfoDelete, _infoDelete, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Delete"))
//: Confirms removing every entry from the list of downloads
ZUVO_TEXT_SETTING(InfoClean, SetInfoClean, _infoClean, QT_TRANSLATE_NOOP("ZuvoChatWBConfigure", "Clean"))
ZUVO_SETTING(QString, AccessToken, SetAccessToken, _accessToken)
ZUVO_SETTING(TrustedOriginList, TrustedOrigins, SetTrustedOrigins, _trustedOrigins)
ZUVO_SETTING(CertificateRule, StrictCertificates, SetStrictCertificates, _strictCertificates)
ZUVO_SETTING(bool, TitleCheckChannelShow, SetTitleCheckChannelShow, _isTitleCheckChannelBtnShow)
ZUVO_SETTING(bool, TitleOpenOutsideShow, SetTitleOpenOutsideShow, _isTitleOpenOutsideBtnShow)
ZUVO_SETTING(bool, TitleStoreToZuvoShow, SetTitleStoreToZuvoShow, _isTitleStoreToZuvoBtnShow)
ZUVO_SETTING(bool, TitleShareToFriendShow, SetTitleShareToFriendShow, _isTitleShareToFriendBtnShow)
ZUVO_SETTING(ZuvoChatWBConfigure::DBIScale, ScreenScale, SetScreenScale, _screenScale)
ZUVO_SETTING(ZuvoChatWBConfigure::DBIScale, RealScale, SetRealScale, _realScale)
ZUVO_SETTING(ZuvoChatWBConfigure::DBIScale, ConfigScale, SetConfigScale, _configScale)
ZUVO_SETTING(bool, Retina, SetRetina, _retina)
ZUVO_SETTING(double, RetinaFactor, SetRetinaFactor, _retinaFactor)

#undef ZUVO_SETTING
#undef ZUVO_TEXT_SETTING

QString ZuvoChatWBConfigure::Language()
{
    return _language;
}

void ZuvoChatWBConfigure::SetLanguage(QString value)
{
    _language = value.trimmed();
    language::apply(_language);
}

QFont ZuvoChatWBConfigure::font()
{
    return _defaultFont;
}

#define ZUVO_IMAGE(Getter, Setter, resourceGetter, resourceSetter)                                 \
    QPixmap *ZuvoChatWBConfigure::Getter() { return Resource::ShareInstance()->resourceGetter(); } \
    void ZuvoChatWBConfigure::Setter(QPixmap *value) { Resource::ShareInstance()->resourceSetter(value); }

ZUVO_IMAGE(WindowIcon, SetWindowIcon, windowIcon, setWindowIcon)
ZUVO_IMAGE(TitleChannelLogo, SetTitleChannelLogo, channelLogo, setChannelLogo)
ZUVO_IMAGE(TitleMiniIcon, SetTitleMiniIcon, miniIcon, setMiniIcon)
ZUVO_IMAGE(TitleMaxIcon, SetTitleMaxIcon, maxIcon, setMaxIcon)
ZUVO_IMAGE(TitleRestoreIcon, SetTitleRestoreIcon, restoreIcon, setRestoreIcon)
ZUVO_IMAGE(TitleCloseIcon, SetTitleCloseIcon, closeIcon, setCloseIcon)

#undef ZUVO_IMAGE
