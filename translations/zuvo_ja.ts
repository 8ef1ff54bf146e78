<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>CrashNotice</name>
    <message>
        <source>This page stopped working: the process that showed it has ended.
Refresh, or open another address, to load it again.</source>
        <translation>このページは動作を停止しました。表示していたプロセスが終了しています。
更新するか別のアドレスを開くと、もう一度読み込まれます。</translation>
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
        <translation>%1 時間 %2 分</translation>
    </message>
    <message>
        <source>Downloading</source>
        <translation>ダウンロード中</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>待機中</translation>
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
        <translation>残り %1</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find in page</source>
        <translation>ページ内を検索</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>一致件数</translation>
    </message>
    <message>
        <source>Previous match</source>
        <translation>前の一致</translation>
    </message>
    <message>
        <source>Next match</source>
        <translation>次の一致</translation>
    </message>
    <message>
        <source>Close find bar</source>
        <translation>検索バーを閉じる</translation>
    </message>
    <message>
        <source>%1+ matches</source>
        <translation>%1 件以上</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 / %2 件</translation>
    </message>
</context>
<context>
    <name>PageMenu</name>
    <message>
        <source>Copy link address</source>
        <translation>リンクのアドレスをコピー</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>コピー</translation>
    </message>
    <message>
        <source>Copy image</source>
        <translation>画像をコピー</translation>
    </message>
    <message>
        <source>back</source>
        <extracomment>Go back to the previous page</extracomment>
        <translation>戻る</translation>
    </message>
    <message>
        <source>Inspect</source>
        <translation>検証</translation>
    </message>
</context>
<context>
    <name>WebContent</name>
    <message>
        <source>Not shown: %1</source>
        <translation>表示されていません: %1</translation>
    </message>
    <message>
        <source>This page is not shown</source>
        <translation>このページは表示されません</translation>
    </message>
    <message>
        <source>The certificate of %1 could not be verified: %2.</source>
        <extracomment>%1 the site&apos;s host name, %2 why, from the list of reasons below</extracomment>
        <translation>%1 の証明書を検証できませんでした: %2。</translation>
    </message>
    <message>
        <source>Someone may be pretending to be this site.</source>
        <translation>第三者がこのサイトになりすましている可能性があります。</translation>
    </message>
    <message>
        <source>it is not signed by an authority this system trusts</source>
        <translation>このシステムが信頼する認証局の署名がありません</translation>
    </message>
    <message>
        <source>it is made out to another site</source>
        <translation>別のサイト向けに発行されています</translation>
    </message>
    <message>
        <source>it is not valid yet</source>
        <translation>まだ有効になっていません</translation>
    </message>
    <message>
        <source>it has expired</source>
        <translation>有効期限が切れています</translation>
    </message>
    <message>
        <source>it has been revoked</source>
        <translation>失効しています</translation>
    </message>
    <message>
        <source>its algorithm is insecure</source>
        <translation>使用されているアルゴリズムが安全ではありません</translation>
    </message>
    <message>
        <source>it failed verification</source>
        <translation>検証に失敗しました</translation>
    </message>
    <message>
        <source>; </source>
        <extracomment>Between two reasons a certificate failed</extracomment>
        <translation>、</translation>
    </message>
    <message>
        <source>Developer tools</source>
        <translation>開発者ツール</translation>
    </message>
    <message>
        <source>JavaScript Confirm - %1</source>
        <translation>JavaScript の確認 - %1</translation>
    </message>
    <message>
        <source>JavaScript Prompt - %1</source>
        <translation>JavaScript の入力 - %1</translation>
    </message>
    <message>
        <source>JavaScript Alert - %1</source>
        <translation>JavaScript の警告 - %1</translation>
    </message>
</context>
<context>
    <name>ZoomLabel</name>
    <message>
        <source>Zoom level</source>
        <translation>ズーム倍率</translation>
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
        <translation>更新</translation>
    </message>
    <message>
        <source>Collect</source>
        <extracomment>Title-bar button: keep this page in the chat service</extracomment>
        <translation>お気に入り</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>共有</translation>
    </message>
    <message>
        <source>Channel</source>
        <extracomment>Title-bar button: open the page&apos;s channel in the chat client</extracomment>
        <translation>チャンネル</translation>
    </message>
    <message>
        <source>Open Outside</source>
        <extracomment>Title-bar button: open the page in the desktop&apos;s web browser</extracomment>
        <translation>ブラウザで開く</translation>
    </message>
    <message>
        <source>Download History</source>
        <extracomment>Title-bar button that opens the list of downloads</extracomment>
        <translation>ダウンロード履歴</translation>
    </message>
    <message>
        <source>Download Empty</source>
        <extracomment>Shown in place of the list while there are no downloads</extracomment>
        <translation>ダウンロード履歴はありません</translation>
    </message>
    <message>
        <source>Download succeed</source>
        <translation>ダウンロード完了</translation>
    </message>
    <message>
        <source>Dwonload failed</source>
        <translation>ダウンロード失敗</translation>
    </message>
    <message>
        <source>Open in folder</source>
        <translation>フォルダーで表示</translation>
    </message>
    <message>
        <source>Back</source>
        <extracomment>Title-bar button: from the list of downloads back to the page</extracomment>
        <translation>戻る</translation>
    </message>
    <message>
        <source>Download again</source>
        <translation>再ダウンロード</translation>
    </message>
    <message>
        <source>File has been moved or deleted</source>
        <translation>ファイルは移動または削除されました</translation>
    </message>
    <message>
        <source>Clean</source>
        <extracomment>Button under the list of downloads: remove every entry
----------
Confirms removing every entry from the list of downloads</extracomment>
        <translation>すべてクリア</translation>
    </message>
    <message>
        <source>Delete this download record?</source>
        <translation>このダウンロード履歴を削除しますか？</translation>
    </message>
    <message>
        <source>Clean all download record?</source>
        <translation>すべてのダウンロード履歴を削除しますか？</translation>
    </message>
    <message>
        <source>Ok</source>
        <extracomment>The button of a message box</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer</name>
    <message>
        <source>Save File</source>
        <translation>ファイルを保存</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer_impl</name>
    <message>
        <source>Logo</source>
        <translation>ロゴ</translation>
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
        <translation>元に戻す</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
</context>
</TS>
