#pragma once

#include <QSet>
#include <QString>

class QPixmap;

// The compiled-in images at display resolution. Every pixmap handed out lives
// until the process ends, so callers keep plain pointers and never delete.
// A title image that the host replaces before anybody asked for it is freed,
// so a host sending images in a loop costs no memory.
class Resource
{
public:
    static Resource *ShareInstance();

    QPixmap *channelLogo();
    void setChannelLogo(QPixmap *image);
    QPixmap *miniIcon();
    void setMiniIcon(QPixmap *image);
    QPixmap *maxIcon();
    void setMaxIcon(QPixmap *image);
    QPixmap *restoreIcon();
    void setRestoreIcon(QPixmap *image);
    QPixmap *closeIcon();
    void setCloseIcon(QPixmap *image);
    QPixmap *windowIcon();
    void setWindowIcon(QPixmap *image);

    QPixmap *fileEmptyLog();
    void setFileEmptyLogo(QPixmap *image);
    QPixmap *fileHistoryDeleteIcon();

    QPixmap *pptIcon();
    QPixmap *docIcon();
    QPixmap *xlsIcon();
    QPixmap *pdfIcon();
    QPixmap *rarIcon();
    QPixmap *audioIcon();
    QPixmap *videoIcon();
    QPixmap *imgIcon();
    QPixmap *txtIcon();
    QPixmap *otherIcon();

    QPixmap *pptGrayIcon();
    QPixmap *docGrayIcon();
    QPixmap *xlsGrayIcon();
    QPixmap *pdfGrayIcon();
    QPixmap *rarGrayIcon();
    QPixmap *audioGrayIcon();
    QPixmap *videoGrayIcon();
    QPixmap *imgGrayIcon();
    QPixmap *txtGrayIcon();
    QPixmap *otherGrayIcon();

private:
    Resource() = default;
    Resource(const Resource &) = delete;
    Resource &operator=(const Resource &) = delete;

    void init();
    // Loads the 1x or 2x file of a pair into member unless it is loaded already.
    QPixmap *load(QPixmap *&member, const QString &normalPath, const QString &doublePath);
    QPixmap *loadFileIcon(QPixmap *&member, const char *baseName);
    QPixmap *titleImage(QPixmap *&member);
    void replaceTitleImage(QPixmap *&member, QPixmap *image);

    QPixmap *_channelLogo = nullptr;
    QPixmap *_miniIcon = nullptr;
    QPixmap *_maxIcon = nullptr;
    QPixmap *_restoreIcon = nullptr;
    QPixmap *_closeIcon = nullptr;
    QPixmap *_windowIcon = nullptr;
    QPixmap *_fileEmptyLogo = nullptr;
    QPixmap *_pptIcon = nullptr;
    QPixmap *_docIcon = nullptr;
    QPixmap *_xlsIcon = nullptr;
    QPixmap *_pdfIcon = nullptr;
    QPixmap *_rarIcon = nullptr;
    QPixmap *_audioIcon = nullptr;
    QPixmap *_videoIcon = nullptr;
    QPixmap *_imgIcon = nullptr;
    QPixmap *_txtIcon = nullptr;
    QPixmap *_otherIcon = nullptr;
    QPixmap *_pptGrayIcon = nullptr;
    QPixmap *_docGrayIcon = nullptr;
    QPixmap *_xlsGrayIcon = nullptr;
    QPixmap *_pdfGrayIcon = nullptr;
    QPixmap *_rarGrayIcon = nullptr;
    QPixmap *_audioGrayIcon = nullptr;
    QPixmap *_videoGrayIcon = nullptr;
    QPixmap *_imgGrayIcon = nullptr;
    QPixmap *_txtGrayIcon = nullptr;
    QPixmap *_otherGrayIcon = nullptr;
    QPixmap *_fileHistoryDeleteIcon = nullptr;
    // Title images whose pointer a getter has returned: only these can still
    // be held by somebody, so only these outlive their replacement.
    QSet<const QPixmap *> _handedOut;
};
