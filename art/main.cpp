// Draws every image the browser carries and writes them under src/images.
//
//   zuvo_art SRC_DIR [--sheet FILE.png]
//
// SRC_DIR is the repository's src directory (its fonts are used for labels).
// With --sheet, also writes a contact sheet of everything it drew.

#include "artcanvas.h"
#include "brandmark.h"
#include "contactsheet.h"
#include "emptypanel.h"
#include "filetypeicons.h"
#include "guimarks.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>
#include <QVector>

#include <functional>

namespace {

struct ArtFile {
    QString path;  // relative to the src directory
    QSize size;
    std::function<QImage()> render;
};

QString scaleSuffix(int scale)
{
    return scale == 2 ? QStringLiteral("@2x") : QString();
}

QString fileIconPath(const QString &kind, IconTone tone, int scale)
{
    const QString gray = tone == IconTone::Gray ? QStringLiteral("_gray") : QString();
    return QStringLiteral("images/filetypes/overview_icon_file_%1%2%3.png")
        .arg(kind, gray, scaleSuffix(scale));
}

QString guiPath(const QString &name, int scale)
{
    return QStringLiteral("images/gui/%1%2.png").arg(name, scaleSuffix(scale));
}

const QVector<QPair<QString, WindowButton>> &windowButtons()
{
    static const QVector<QPair<QString, WindowButton>> buttons = {
        {QStringLiteral("minimize"), WindowButton::Minimize},
        {QStringLiteral("maximize"), WindowButton::Maximize},
        {QStringLiteral("restore"), WindowButton::Restore},
        {QStringLiteral("close"), WindowButton::Close},
    };
    return buttons;
}

QVector<ArtFile> artFiles()
{
    QVector<ArtFile> files;
    for (int scale : {1, 2}) {
        const QSize iconSize = QSize(fileTypeIconSize, fileTypeIconSize) * scale;
        for (const QString &kind : fileTypeKinds()) {
            for (IconTone tone : {IconTone::Colour, IconTone::Gray})
                files.append({fileIconPath(kind, tone, scale), iconSize,
                              [=] { return renderFileTypeIcon(kind, scale, tone); }});
        }
        for (const auto &button : windowButtons()) {
            const WindowButton which = button.second;
            files.append({guiPath(button.first, scale), windowButtonSize(scale),
                          [=] { return renderWindowButton(which, scale); }});
        }
        files.append({guiPath(QStringLiteral("channel_webbroswer_logo"), scale),
                      QSize(channelLogoSize, channelLogoSize) * scale,
                      [=] { return renderChannelLogo(scale); }});
        files.append({guiPath(QStringLiteral("main"), scale),
                      QSize(windowIconSize, windowIconSize) * scale,
                      [=] { return renderWindowIcon(scale); }});
        files.append({guiPath(QStringLiteral("x"), scale),
                      QSize(deleteMarkSize, deleteMarkSize) * scale,
                      [=] { return renderDeleteMark(scale); }});
        files.append({guiPath(QStringLiteral("webfileempty"), scale),
                      QSize(emptyPanelSize, emptyPanelSize) * scale,
                      [=] { return renderEmptyPanel(scale); }});
    }
    return files;
}

QVector<QStringList> contactSheetRows()
{
    QVector<QStringList> rows;
    QStringList small;
    for (IconTone tone : {IconTone::Colour, IconTone::Gray}) {
        for (const QString &kind : fileTypeKinds())
            small << fileIconPath(kind, tone, 1);
    }
    rows << small;
    for (IconTone tone : {IconTone::Colour, IconTone::Gray}) {
        QStringList large;
        for (const QString &kind : fileTypeKinds())
            large << fileIconPath(kind, tone, 2);
        rows << large;
    }
    QStringList marks;
    for (int scale : {1, 2}) {
        for (const auto &button : windowButtons())
            marks << guiPath(button.first, scale);
        marks << guiPath(QStringLiteral("channel_webbroswer_logo"), scale)
              << guiPath(QStringLiteral("x"), scale);
    }
    rows << marks;
    rows << QStringList{guiPath(QStringLiteral("webfileempty"), 1),
                        guiPath(QStringLiteral("webfileempty"), 2),
                        guiPath(QStringLiteral("main"), 1)};
    rows << QStringList{guiPath(QStringLiteral("main"), 2)};
    return rows;
}

bool writeAll(const QString &srcDir)
{
    const QDir dir(srcDir);
    bool ok = true;
    for (const ArtFile &file : artFiles()) {
        const QString path = dir.filePath(file.path);
        dir.mkpath(QFileInfo(path).path());
        ok = savePng(file.render(), file.size, path) && ok;
    }
    return ok;
}

int usage()
{
    QTextStream(stderr) << "usage: zuvo_art SRC_DIR [--sheet FILE.png]\n";
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing needs fonts but no screen; this runs on build machines too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    QString sheetPath;
    const int sheetFlag = args.indexOf(QStringLiteral("--sheet"));
    if (sheetFlag >= 0) {
        if (sheetFlag + 1 >= args.size())
            return usage();
        sheetPath = args.takeAt(sheetFlag + 1);
        args.removeAt(sheetFlag);
    }
    if (args.size() != 1)
        return usage();
    const QString srcDir = args.first();

    if (!registerBundledFonts(QDir(srcDir).filePath(QStringLiteral("fonts"))))
        return 1;
    if (!writeAll(srcDir))
        return 1;
    QTextStream(stdout) << "wrote " << artFiles().size() << " images under " << srcDir << '\n';
    if (!sheetPath.isEmpty() && !writeContactSheet(srcDir, contactSheetRows(), sheetPath))
        return 1;
    return 0;
}
