#include "resource.h"

#include "zuvochatwbconfigure.h"

#include <QPixmap>
#include <QtGlobal>

#include <mutex>

// The bundles live in a static library, so nothing would pull their objects
// into the program without these references; registering them here also runs
// before main, fonts first. Q_INIT_RESOURCE must be used outside namespaces.
static void registerBundles()
{
    Q_INIT_RESOURCE(zuvochatfonts);
    Q_INIT_RESOURCE(icon_resource);
    Q_INIT_RESOURCE(zuvochatwebbroswer);
    Q_INIT_RESOURCE(startpage);
}

static void unregisterBundles()
{
    Q_CLEANUP_RESOURCE(startpage);
    Q_CLEANUP_RESOURCE(zuvochatwebbroswer);
    Q_CLEANUP_RESOURCE(icon_resource);
    Q_CLEANUP_RESOURCE(zuvochatfonts);
}

namespace {

struct ResourceBundles {
    ResourceBundles() { registerBundles(); }
    ~ResourceBundles() { unregisterBundles(); }
};
const ResourceBundles bundles;

const QString kChannelLogo = QStringLiteral(":/gui/icons/channel_webbroswer_logo.png");
const QString kChannelLogo2x = QStringLiteral(":/gui/icons/channel_webbroswer_logo@2x.png");
const QString kMinimize = QStringLiteral(":/gui/icons/minimize.png");
const QString kMinimize2x = QStringLiteral(":/gui/icons/minimize@2x.png");
const QString kMaximize = QStringLiteral(":/gui/icons/maximize.png");
const QString kMaximize2x = QStringLiteral(":/gui/icons/maximize@2x.png");
const QString kRestore = QStringLiteral(":/gui/icons/restore.png");
const QString kRestore2x = QStringLiteral(":/gui/icons/restore@2x.png");
const QString kClose = QStringLiteral(":/gui/icons/close.png");
const QString kClose2x = QStringLiteral(":/gui/icons/close@2x.png");
const QString kWindowIcon = QStringLiteral(":/gui/icons/main.png");
const QString kWindowIcon2x = QStringLiteral(":/gui/icons/main@2x.png");
const QString kEmptyPanel = QStringLiteral(":/gui/icons/webfileempty.png");
const QString kEmptyPanel2x = QStringLiteral(":/gui/icons/webfileempty@2x.png");
const QString kDeleteMark = QStringLiteral(":/gui/icons/x.png");
const QString kDeleteMark2x = QStringLiteral(":/gui/icons/x@2x.png");

} // namespace

Resource *Resource::ShareInstance()
{
    static std::once_flag created;
    static Resource *instance = nullptr;
    std::call_once(created, [] {
        instance = new Resource;
        instance->init();
    });
    return instance;
}

void Resource::init()
{
    load(_channelLogo, kChannelLogo, kChannelLogo2x);
    load(_miniIcon, kMinimize, kMinimize2x);
    load(_maxIcon, kMaximize, kMaximize2x);
    load(_restoreIcon, kRestore, kRestore2x);
    load(_closeIcon, kClose, kClose2x);
    load(_windowIcon, kWindowIcon, kWindowIcon2x);
}

QPixmap *Resource::load(QPixmap *&member, const QString &normalPath, const QString &doublePath)
{
    if (member)
        return member;

    const bool retina = ZuvoChatWBConfigure::Retina();
    member = new QPixmap(retina ? doublePath : normalPath);
    if (retina) {
        member->setDevicePixelRatio(ZuvoChatWBConfigure::RetinaFactor());
    } else if (ZuvoChatWBConfigure::ScreenScale() != ZuvoChatWBConfigure::dbisOne) {
        QPixmap *unscaled = member;
        member = new QPixmap(unscaled->scaledToWidth(convertScale<int>(unscaled->width()), Qt::SmoothTransformation));
        delete unscaled;
    }
    return member;
}

QPixmap *Resource::loadFileIcon(QPixmap *&member, const char *baseName)
{
    const QString pattern = QStringLiteral(":/art/%1%2");
    const QString name = QLatin1String(baseName);
    return load(member, pattern.arg(name, QStringLiteral(".png")), pattern.arg(name, QStringLiteral("@2x.png")));
}

QPixmap *Resource::titleImage(QPixmap *&member)
{
    if (!member) {
        member = new QPixmap(16, 16);
        member->fill(Qt::white);
    }
    _handedOut.insert(member);
    return member;
}

void Resource::replaceTitleImage(QPixmap *&member, QPixmap *image)
{
    if (member != image && !_handedOut.contains(member))
        delete member;
    member = image;
}

QPixmap *Resource::channelLogo() { return titleImage(_channelLogo); }
void Resource::setChannelLogo(QPixmap *image) { replaceTitleImage(_channelLogo, image); }
QPixmap *Resource::miniIcon() { return titleImage(_miniIcon); }
void Resource::setMiniIcon(QPixmap *image) { replaceTitleImage(_miniIcon, image); }
QPixmap *Resource::maxIcon() { return titleImage(_maxIcon); }
void Resource::setMaxIcon(QPixmap *image) { replaceTitleImage(_maxIcon, image); }
QPixmap *Resource::restoreIcon() { return titleImage(_restoreIcon); }
void Resource::setRestoreIcon(QPixmap *image) { replaceTitleImage(_restoreIcon, image); }
QPixmap *Resource::closeIcon() { return titleImage(_closeIcon); }
void Resource::setCloseIcon(QPixmap *image) { replaceTitleImage(_closeIcon, image); }
QPixmap *Resource::windowIcon() { return titleImage(_windowIcon); }
void Resource::setWindowIcon(QPixmap *image) { replaceTitleImage(_windowIcon, image); }

QPixmap *Resource::fileEmptyLog() { return load(_fileEmptyLogo, kEmptyPanel, kEmptyPanel2x); }
void Resource::setFileEmptyLogo(QPixmap *image) { _fileEmptyLogo = image; }
QPixmap *Resource::fileHistoryDeleteIcon() { return load(_fileHistoryDeleteIcon, kDeleteMark, kDeleteMark2x); }

QPixmap *Resource::pptIcon() { return loadFileIcon(_pptIcon, "overview_icon_file_ppt"); }
QPixmap *Resource::docIcon() { return loadFileIcon(_docIcon, "overview_icon_file_word"); }
QPixmap *Resource::xlsIcon() { return loadFileIcon(_xlsIcon, "overview_icon_file_xls"); }
QPixmap *Resource::pdfIcon() { return loadFileIcon(_pdfIcon, "overview_icon_file_pdf"); }
QPixmap *Resource::rarIcon() { return loadFileIcon(_rarIcon, "overview_icon_file_rar"); }
QPixmap *Resource::audioIcon() { return loadFileIcon(_audioIcon, "overview_icon_file_music"); }
QPixmap *Resource::videoIcon() { return loadFileIcon(_videoIcon, "overview_icon_file_video"); }
QPixmap *Resource::imgIcon() { return loadFileIcon(_imgIcon, "overview_icon_file_picture"); }
QPixmap *Resource::txtIcon() { return loadFileIcon(_txtIcon, "overview_icon_file_docu"); }
QPixmap *Resource::otherIcon() { return loadFileIcon(_otherIcon, "overview_icon_file_other"); }

QPixmap *Resource::pptGrayIcon() { return loadFileIcon(_pptGrayIcon, "overview_icon_file_ppt_gray"); }
QPixmap *Resource::docGrayIcon() { return loadFileIcon(_docGrayIcon, "overview_icon_file_word_gray"); }
QPixmap *Resource::xlsGrayIcon() { return loadFileIcon(_xlsGrayIcon, "overview_icon_file_xls_gray"); }
QPixmap *Resource::pdfGrayIcon() { return loadFileIcon(_pdfGrayIcon, "overview_icon_file_pdf_gray"); }
QPixmap *Resource::rarGrayIcon() { return loadFileIcon(_rarGrayIcon, "overview_icon_file_rar_gray"); }
QPixmap *Resource::audioGrayIcon() { return loadFileIcon(_audioGrayIcon, "overview_icon_file_music_gray"); }
QPixmap *Resource::videoGrayIcon() { return loadFileIcon(_videoGrayIcon, "overview_icon_file_video_gray"); }
QPixmap *Resource::imgGrayIcon() { return loadFileIcon(_imgGrayIcon, "overview_icon_file_picture_gray"); }
QPixmap *Resource::txtGrayIcon() { return loadFileIcon(_txtGrayIcon, "overview_icon_file_docu_gray"); }
QPixmap *Resource::otherGrayIcon() { return loadFileIcon(_otherGrayIcon, "overview_icon_file_other_gray"); }
