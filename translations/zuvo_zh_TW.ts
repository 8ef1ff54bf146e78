<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="en">
<context>
    <name>CrashNotice</name>
    <message>
        <source>This page stopped working: the process that showed it has ended.
Refresh, or open another address, to load it again.</source>
        <translation>此頁面已停止運作：顯示它的處理程序已結束。
請重新整理，或開啟其他網址，以重新載入。</translation>
    </message>
</context>
<context>
    <name>DownloadFileTree</name>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 分 %2 秒</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 小時 %2 分</translation>
    </message>
    <message>
        <source>Downloading</source>
        <translation>下載中</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <extracomment>Bytes received so far, of the file&apos;s size</extracomment>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/秒</translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation>剩餘 %1</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find in page</source>
        <translation>在頁面中尋找</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>相符項目</translation>
    </message>
    <message>
        <source>Previous match</source>
        <translation>上一個相符項目</translation>
    </message>
    <message>
        <source>Next match</source>
        <translation>下一個相符項目</translation>
    </message>
    <message>
        <source>Close find bar</source>
        <translation>關閉尋找列</translation>
    </message>
    <message>
        <source>%1+ matches</source>
        <translation>%1+ 個相符項目</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>第 %1 個，共 %2 個</translation>
    </message>
</context>
<context>
    <name>PageMenu</name>
    <message>
        <source>Copy link address</source>
        <translation>複製連結位址</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>Copy image</source>
        <translation>複製圖片</translation>
    </message>
    <message>
        <source>back</source>
        <extracomment>Go back to the previous page</extracomment>
        <translation>返回</translation>
    </message>
    <message>
        <source>Inspect</source>
        <translation>檢查</translation>
    </message>
</context>
<context>
    <name>WebContent</name>
    <message>
        <source>Not shown: %1</source>
        <translation>未顯示：%1</translation>
    </message>
    <message>
        <source>This page is not shown</source>
        <translation>未顯示此頁面</translation>
    </message>
    <message>
        <source>The certificate of %1 could not be verified: %2.</source>
        <extracomment>%1 the site&apos;s host name, %2 why, from the list of reasons below</extracomment>
        <translation>無法驗證 %1 的憑證：%2。</translation>
    </message>
    <message>
        <source>Someone may be pretending to be this site.</source>
        <translation>可能有人正在冒充此網站。</translation>
    </message>
    <message>
        <source>it is not signed by an authority this system trusts</source>
        <translation>簽發機構不受本系統信任</translation>
    </message>
    <message>
        <source>it is made out to another site</source>
        <translation>憑證是核發給其他網站的</translation>
    </message>
    <message>
        <source>it is not valid yet</source>
        <translation>憑證尚未生效</translation>
    </message>
    <message>
        <source>it has expired</source>
        <translation>憑證已過期</translation>
    </message>
    <message>
        <source>it has been revoked</source>
        <translation>憑證已被撤銷</translation>
    </message>
    <message>
        <source>its algorithm is insecure</source>
        <translation>其演算法不安全</translation>
    </message>
    <message>
        <source>it failed verification</source>
        <translation>驗證失敗</translation>
    </message>
    <message>
        <source>; </source>
        <extracomment>Between two reasons a certificate failed</extracomment>
        <translation>；</translation>
    </message>
    <message>
        <source>Developer tools</source>
        <translation>開發人員工具</translation>
    </message>
    <message>
        <source>JavaScript Confirm - %1</source>
        <translation>JavaScript 確認 - %1</translation>
    </message>
    <message>
        <source>JavaScript Prompt - %1</source>
        <translation>JavaScript 輸入 - %1</translation>
    </message>
    <message>
        <source>JavaScript Alert - %1</source>
        <translation>JavaScript 提示 - %1</translation>
    </message>
</context>
<context>
    <name>ZoomLabel</name>
    <message>
        <source>Zoom level</source>
        <translation>縮放比例</translation>
    </message>
    <message>
        <source>%1%</source>
        <extracomment>The page&apos;s zoom, %1 a number of percent</extracomment>
        <translation>%1%</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWBConfigure</name>
    <message>
        <source>Refresh</source>
        <translation>重新整理</translation>
    </message>
    <message>
        <source>Collect</source>
        <extracomment>Title-bar button: keep this page in the chat service</extracomment>
        <translation>收藏</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>分享</translation>
    </message>
    <message>
        <source>Channel</source>
        <extracomment>Title-bar button: open the page&apos;s channel in the chat client</extracomment>
        <translation>頻道</translation>
    </message>
    <message>
        <source>Open Outside</source>
        <extracomment>Title-bar button: open the page in the desktop&apos;s web browser</extracomment>
        <translation>在瀏覽器中開啟</translation>
    </message>
    <message>
        <source>Download History</source>
        <extracomment>Title-bar button that opens the list of downloads</extracomment>
        <translation>下載記錄</translation>
    </message>
    <message>
        <source>Download Empty</source>
        <extracomment>Shown in place of the list while there are no downloads</extracomment>
        <translation>目前沒有下載記錄</translation>
    </message>
    <message>
        <source>Download succeed</source>
        <translation>下載完成</translation>
    </message>
    <message>
        <source>Dwonload failed</source>
        <translation>下載失敗</translation>
    </message>
    <message>
        <source>Open in folder</source>
        <translation>在資料夾中顯示</translation>
    </message>
    <message>
        <source>Back</source>
        <extracomment>Title-bar button: from the list of downloads back to the page</extracomment>
        <translation>返回</translation>
    </message>
    <message>
        <source>Download again</source>
        <translation>重新下載</translation>
    </message>
    <message>
        <source>File has been moved or deleted</source>
        <translation>檔案已被移動或刪除</translation>
    </message>
    <message>
        <source>Clean</source>
        <extracomment>Button under the list of downloads: remove every entry
----------
Confirms removing every entry from the list of downloads</extracomment>
        <translation>全部清除</translation>
    </message>
    <message>
        <source>Delete this download record?</source>
        <translation>刪除這筆下載記錄？</translation>
    </message>
    <message>
        <source>Clean all download record?</source>
        <translation>清除所有下載記錄？</translation>
    </message>
    <message>
        <source>Ok</source>
        <extracomment>The button of a message box</extracomment>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>刪除</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer</name>
    <message>
        <source>Save File</source>
        <translation>儲存檔案</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer_impl</name>
    <message>
        <source>Logo</source>
        <translation>標誌</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>最大化</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>還原</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>關閉</translation>
    </message>
</context>
</TS>
