#pragma once

#include <QString>

// Names of the host protocol. A message is prefix ":" command ":" base64 ";".
// Request and reply share a name with consecutive numbers.
namespace zuvo_web_protoc {

inline const QString suffix = QStringLiteral(";");

namespace zuvo_web_protoc_1_config {
inline const QString prefix = QStringLiteral("config");
inline const QString _01_title = QStringLiteral("title");
inline const QString _02_titleIcon = QStringLiteral("Icon");
inline const QString _10_titleHeight = QStringLiteral("titleHeight");
inline const QString _11_titleLeft = QStringLiteral("titleLeft");
inline const QString _12_titleRight = QStringLiteral("titleRight");
inline const QString _13_titleSkip = QStringLiteral("titleSkip");
inline const QString _20_titleBackgroundColor = QStringLiteral("titleBackgroundColor");
inline const QString _21_containerBackgroundColor = QStringLiteral("containerBackgroundColor");
inline const QString _22_shadowColor = QStringLiteral("shadowColor");
inline const QString _30_refreshBtnText = QStringLiteral("refreshText");
inline const QString _31_collectBtnText = QStringLiteral("collectText");
inline const QString _32_shareBtnText = QStringLiteral("shareText");
inline const QString _33_channelBtnText = QStringLiteral("channelText");
inline const QString _34_openoutsideBtnText = QStringLiteral("openoutsideText");
inline const QString _40_titleLogoData = QStringLiteral("titleLogoData");
inline const QString _41_titleMinisizeIconData = QStringLiteral("titleMinisizeIconData");
inline const QString _42_titleMaxsizeIconData = QStringLiteral("titleMaxsizeIconData");
inline const QString _43_titleRestoreIconData = QStringLiteral("titleRestoreIconData");
inline const QString _44_titleCloseIconData = QStringLiteral("titleCloseIconData");
inline const QString _50_windowsRect = QStringLiteral("windowsRect");
inline const QString _51_miniWidth = QStringLiteral("miniWidth");
inline const QString _60_infoBoxOk = QStringLiteral("infoBoxOk");
inline const QString _61_infoBoxCancel = QStringLiteral("infoBoxCancel");
inline const QString _62_infoBoxSize = QStringLiteral("infoBoxSize");
inline const QString _63_infoBoxMargin = QStringLiteral("infoBoxMargin");
inline const QString _64_infoBoxDelete = QStringLiteral("infoBoxDelete");
inline const QString _65_infoBoxClean = QStringLiteral("infoBoxClean");
inline const QString _70_accessToken = QStringLiteral("accessToken");
inline const QString _71_trustedOrigins = QStringLiteral("trustedOrigins");
inline const QString _72_strictCertificates = QStringLiteral("strictCertificates");
inline const QString _73_language = QStringLiteral("language");
inline const QString _80_webFileBtnText = QStringLiteral("webFileText");
inline const QString _81_webFileEmptyText = QStringLiteral("webFileEmptyText");
inline const QString _82_webFileSuccessText = QStringLiteral("webFileSuccessText");
inline const QString _83_webFileFailedText = QStringLiteral("webFileFailedText");
inline const QString _84_webFileOpenInFolderText = QStringLiteral("webFileOpenInFolderText");
inline const QString _85_webFileBackText = QStringLiteral("webFileBackText");
inline const QString _86_webFileRedownloadText = QStringLiteral("webFileRedownloadText");
inline const QString _87_webFileMissedText = QStringLiteral("webFileMissedText");
inline const QString _88_webFileRemoveAllText = QStringLiteral("webFileRemoveAllText");
inline const QString _890_webFileRemoveTipsText = QStringLiteral("webFileRemoveTipsText");
inline const QString _891_webFileRemoveAllTipsText = QStringLiteral("webFileRemoveAllTipsText");
inline const QString _90_tipsWebFileRemoveItem = QStringLiteral("tipsWebFileRemoveItem");
inline const QString _91_tipsWebFileRemoveAll = QStringLiteral("tipsWebFileRemoveAll");
} // namespace zuvo_web_protoc_1_config

namespace zuvo_web_protoc_2_event {
inline const QString prefix = QStringLiteral("event");
inline const QString _10_active = QStringLiteral("active");
inline const QString _20_showUrl = QStringLiteral("showUrl");
inline const QString _30_updateOpenOutside = QStringLiteral("updateOpenOutside");
inline const QString _40_updateCheckChannel = QStringLiteral("updateCheckChannel");
inline const QString _41_updateStoreToZuvo = QStringLiteral("updateStoreToZuvo");
inline const QString _42_updateShareToFriend = QStringLiteral("updateShareToFriend");
inline const QString _50_showBoxMessage = QStringLiteral("showBoxMessage");
} // namespace zuvo_web_protoc_2_event

namespace zuvo_web_protoc_3_feedback {
inline const QString prefix = QStringLiteral("feedback");
inline const QString _10_storeToZuvo = QStringLiteral("storeToZuvo");
inline const QString _11_share = QStringLiteral("share");
inline const QString _12_channel = QStringLiteral("channel");
inline const QString _13_refresh = QStringLiteral("refresh");
inline const QString _14_savePossition = QStringLiteral("savePosition");
inline const QString _15_openOutside = QStringLiteral("openOutside");
inline const QString _16_goto_channel = QStringLiteral("gotoChannel");
inline const QString _17_receive_log = QStringLiteral("receiveLog");
} // namespace zuvo_web_protoc_3_feedback

namespace zuvo_web_protoc_4_webfile {
inline const QString prefix = QStringLiteral("webfile");
inline const QString _10_getFileList = QStringLiteral("getFileList");
inline const QString _11_getFileList = QStringLiteral("getFileListRes");
inline const QString _20_getDownloadOffset = QStringLiteral("getDownloadOffset");
inline const QString _21_getDownloadOffset = QStringLiteral("getDownloadOffsetRes");
inline const QString _30_openFileFolder = QStringLiteral("openFileFolder");
inline const QString _40_startDownload = QStringLiteral("startDownload");
inline const QString _41_startDownload = QStringLiteral("startDownloadRes");
inline const QString _50_restartDownload = QStringLiteral("restartDownload");
inline const QString _51_restartDownload = QStringLiteral("restartDownloadRes");
inline const QString _60_removeHistory = QStringLiteral("removeHistory");
inline const QString _61_removeHistory = QStringLiteral("removeHistoryRes");
inline const QString _62_removeAllHistory = QStringLiteral("removeAllHistory");
inline const QString _63_removeAllHistory = QStringLiteral("removeAllHistoryRes");
} // namespace zuvo_web_protoc_4_webfile

namespace zuvo_web_protoc_5_iq {
inline const QString prefix = QStringLiteral("iq");
inline const QString _10_currentUserInfo = QStringLiteral("currentuserinfo");
inline const QString _11_currentUserInfo = QStringLiteral("currentuserinfoRes");
} // namespace zuvo_web_protoc_5_iq

} // namespace zuvo_web_protoc
