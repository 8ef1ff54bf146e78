<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>CrashNotice</name>
    <message>
        <source>This page stopped working: the process that showed it has ended.
Refresh, or open another address, to load it again.</source>
        <translation>此页面已停止运行：显示它的进程已结束。
请刷新，或打开其他地址，以重新加载。</translation>
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
        <translation>%1 小时 %2 分</translation>
    </message>
    <message>
        <source>Downloading</source>
        <translation>正在下载</translation>
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
        <translation>剩余 %1</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find in page</source>
        <translation>在页面中查找</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>匹配项</translation>
    </message>
    <message>
        <source>Previous match</source>
        <translation>上一个匹配项</translation>
    </message>
    <message>
        <source>Next match</source>
        <translation>下一个匹配项</translation>
    </message>
    <message>
        <source>Close find bar</source>
        <translation>关闭查找栏</translation>
    </message>
    <message>
        <source>%1+ matches</source>
        <translation>%1+ 个匹配项</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>第 %1 个，共 %2 个</translation>
    </message>
</context>
<context>
    <name>PageMenu</name>
    <message>
        <source>Copy link address</source>
        <translation>复制链接地址</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Copy image</source>
        <translation>复制图片</translation>
    </message>
    <message>
        <source>back</source>
        <extracomment>Go back to the previous page</extracomment>
        <translation>后退</translation>
    </message>
    <message>
        <source>Inspect</source>
        <translation>检查</translation>
    </message>
</context>
<context>
    <name>WebContent</name>
    <message>
        <source>Not shown: %1</source>
        <translation>未显示：%1</translation>
    </message>
    <message>
        <source>This page is not shown</source>
        <translation>未显示此页面</translation>
    </message>
    <message>
        <source>The certificate of %1 could not be verified: %2.</source>
        <extracomment>%1 the site&apos;s host name, %2 why, from the list of reasons below</extracomment>
        <translation>无法验证 %1 的证书：%2。</translation>
    </message>
    <message>
        <source>Someone may be pretending to be this site.</source>
        <translation>可能有人正在冒充此网站。</translation>
    </message>
    <message>
        <source>it is not signed by an authority this system trusts</source>
        <translation>签发机构不受本系统信任</translation>
    </message>
    <message>
        <source>it is made out to another site</source>
        <translation>证书是颁发给其他网站的</translation>
    </message>
    <message>
        <source>it is not valid yet</source>
        <translation>证书尚未生效</translation>
    </message>
    <message>
        <source>it has expired</source>
        <translation>证书已过期</translation>
    </message>
    <message>
        <source>it has been revoked</source>
        <translation>证书已被吊销</translation>
    </message>
    <message>
        <source>its algorithm is insecure</source>
        <translation>其算法不安全</translation>
    </message>
    <message>
        <source>it failed verification</source>
        <translation>验证失败</translation>
    </message>
    <message>
        <source>; </source>
        <extracomment>Between two reasons a certificate failed</extracomment>
        <translation>；</translation>
    </message>
    <message>
        <source>Developer tools</source>
        <translation>开发者工具</translation>
    </message>
    <message>
        <source>JavaScript Confirm - %1</source>
        <translation>JavaScript 确认 - %1</translation>
    </message>
    <message>
        <source>JavaScript Prompt - %1</source>
        <translation>JavaScript 输入 - %1</translation>
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
        <translation>缩放比例</translation>
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
        <translation>刷新</translation>
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
        <translation>频道</translation>
    </message>
    <message>
        <source>Open Outside</source>
        <extracomment>Title-bar button: open the page in the desktop&apos;s web browser</extracomment>
        <translation>在浏览器中打开</translation>
    </message>
    <message>
        <source>Download History</source>
        <extracomment>Title-bar button that opens the list of downloads</extracomment>
        <translation>下载记录</translation>
    </message>
    <message>
        <source>Download Empty</source>
        <extracomment>Shown in place of the list while there are no downloads</extracomment>
        <translation>暂无下载记录</translation>
    </message>
    <message>
        <source>Download succeed</source>
        <translation>下载完成</translation>
    </message>
    <message>
        <source>Dwonload failed</source>
        <translation>下载失败</translation>
    </message>
    <message>
        <source>Open in folder</source>
        <translation>在文件夹中显示</translation>
    </message>
    <message>
        <source>Back</source>
        <extracomment>Title-bar button: from the list of downloads back to the page</extracomment>
        <translation>返回</translation>
    </message>
    <message>
        <source>Download again</source>
        <translation>重新下载</translation>
    </message>
    <message>
        <source>File has been moved or deleted</source>
        <translation>文件已被移动或删除</translation>
    </message>
    <message>
        <source>Clean</source>
        <extracomment>Button under the list of downloads: remove every entry
----------
Confirms removing every entry from the list of downloads</extracomment>
        <translation>清空</translation>
    </message>
    <message>
        <source>Delete this download record?</source>
        <translation>删除这条下载记录？</translation>
    </message>
    <message>
        <source>Clean all download record?</source>
        <translation>清空所有下载记录？</translation>
    </message>
    <message>
        <source>Ok</source>
        <extracomment>The button of a message box</extracomment>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer</name>
    <message>
        <source>Save File</source>
        <translation>保存文件</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer_impl</name>
    <message>
        <source>Logo</source>
        <translation>标志</translation>
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
        <translation>恢复</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
</TS>
