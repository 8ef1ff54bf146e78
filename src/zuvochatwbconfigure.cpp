#include "zuvochatwbconfigure.h"

#include "linux/pspecific_linux.h"
#include "resource.h"

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

void setDefaultTexts()
{
    _titleRefreshText = QStringLiteral("Refresh");
    _titleCollectText = QStringLiteral("Collect");
    _titleShareText = QStringLiteral("Share");
    _titleCheckChannelText = QStringLiteral("Channel");
    _titleOpenOutsideText = QStringLiteral("Open Outside");
    _titleWebFileText = QStringLiteral("Download History");
    _webFileEmptyLabel = QStringLiteral("Download Empty");
    _webFileSuccessText = QStringLiteral("Download succeed");
    _webFileFailedText = QStringLiteral("Dwonload failed");
    _webFileOpenInFolderText = QStringLiteral("Open in folder");
    _webFileBackText = QStringLiteral("Back");
    _webFileRedownloadText = QStringLiteral("Download again");
    _webFileMissedText = QStringLiteral("File has been moved or deleted");
    _webFileRemoveAllText = QStringLiteral("Clean");
    _webFileRemoveTipsText = QStringLiteral("Delete this download record?");
    _webFileRemoveAllTipsText = QStringLiteral("Clean all download record?");
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
    setDefaultTexts();

    _geometry = QRect(convertScale(10), convertScale(10), convertScale(520), convertScale(850));
    _maxsized = false;
    _hostPosition = QPoint();

    _infoOK = QStringLiteral("Ok");
    _infoCancel = QStringLiteral("Cancel");
    _infoBoxSize = QSize(convertScale(300), convertScale(100));
    _infoBoxMargins = QMargins(convertScale(20), convertScale(20), convertScale(22), convertScale(16));
    _infoDelete = QStringLiteral("Delete");
    _infoClean = QStringLiteral("Clean");

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

ZUVO_SETTING(QString, Title, SetTitle, _title)
ZUVO_SETTING(int, TitleHeight, SetTitleHeight, _titleHeight)
ZUVO_SETTING(int, TitleLeft, SetTitleLeft, _titleLeft)
ZUVO_SETTING(int, TitleRight, SetTitleRight, _titleRight)
ZUVO_SETTING(int, TitleSkip, SetTitleSkip, _titleSkip)
ZUVO_SETTING(int, MiniWidth, SetMiniWidth, _miniWidth)
ZUVO_SETTING(QBrush, TitleBG, SetTitleBG, _titleBg)
ZUVO_SETTING(QBrush, ContainerBG, SetContainerBG, _containerBg)
ZUVO_SETTING(QColor, ShadowColor, SetShadowColor, _shadowColor)
ZUVO_SETTING(QString, TitleRefreshText, SetTitleRefreshText, _titleRefreshText)
ZUVO_SETTING(QString, TitleCollectText, SetTitleCollectText, _titleCollectText)
ZUVO_SETTING(QString, TitleShareText, SetTitleShareText, _titleShareText)
ZUVO_SETTING(QString, TitleChannelText, SetTitleChannelText, _titleCheckChannelText)
ZUVO_SETTING(QString, TitleOpenOutsideText, SetTitleOpenOutsideText, _titleOpenOutsideText)
ZUVO_SETTING(QString, TitleWebFileText, SetTitleWebFileText, _titleWebFileText)
ZUVO_SETTING(QString, WebFileEmptyText, SetWebFileEmptyText, _webFileEmptyLabel)
ZUVO_SETTING(QString, WebFileSuccessText, SetWebFileSuccessText, _webFileSuccessText)
ZUVO_SETTING(QString, WebFileFailedText, SetWebFileFailedText, _webFileFailedText)
ZUVO_SETTING(QString, WebFileOpenInFolderText, SetWebFileOpenInFolderText, _webFileOpenInFolderText)
ZUVO_SETTING(QString, WebFileBackText, SetWebFileBackText, _webFileBackText)
ZUVO_SETTING(QString, WebFileRedownloadText, SetWebFileRedownloadText, _webFileRedownloadText)
ZUVO_SETTING(QString, WebFileMissedText, SetWebFileMissedText, _webFileMissedText)
ZUVO_SETTING(QString, WebFileRemoveAllText, SetWebFileRemoveAllText, _webFileRemoveAllText)
ZUVO_SETTING(QString, WebFileRemoveTipsText, SetWebFileRemoveTipsText, _webFileRemoveTipsText)
ZUVO_SETTING(QString, WebFileRemoveAllTipsText, SetWebFileRemoveAllTipsText, _webFileRemoveAllTipsText)
ZUVO_SETTING(QRect, Geometry, SetGeometry, _geometry)
ZUVO_SETTING(bool, Maxsized, SetMaxsized, _maxsized)
ZUVO_SETTING(QPoint, HostPosition, SetHostPosition, _hostPosition)
ZUVO_SETTING(QString, InfoOK, SetInfoOK, _infoOK)
ZUVO_SETTING(QString, InfoCancel, SetInfoCancel, _infoCancel)
ZUVO_SETTING(QSize, InfoBoxSize, SetInfoBoxSize, _infoBoxSize)
ZUVO_SETTING(QMargins, InfoBoxMargins, SetInfoBoxMargins, _infoBoxMargins)
ZUVO_SETTING(QString, InfoDelete, SetInfoDelete, _infoDelete)
ZUVO_SETTING(QString, InfoClean, SetInfoClean, _infoClean)
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
