<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>CrashNotice</name>
    <message>
        <source>This page stopped working: the process that showed it has ended.
Refresh, or open another address, to load it again.</source>
        <translation>Diese Seite funktioniert nicht mehr: Der Prozess, der sie angezeigt hat, wurde beendet.
Aktualisieren Sie oder öffnen Sie eine andere Adresse, um sie erneut zu laden.</translation>
    </message>
</context>
<context>
    <name>DownloadFileTree</name>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>Downloading</source>
        <translation>Wird heruntergeladen</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>Wartet</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <extracomment>Bytes received so far, of the file&apos;s size</extracomment>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation>noch %1</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find in page</source>
        <translation>Auf der Seite suchen</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Treffer</translation>
    </message>
    <message>
        <source>Previous match</source>
        <translation>Vorheriger Treffer</translation>
    </message>
    <message>
        <source>Next match</source>
        <translation>Nächster Treffer</translation>
    </message>
    <message>
        <source>Close find bar</source>
        <translation>Suchleiste schließen</translation>
    </message>
    <message>
        <source>%1+ matches</source>
        <translation>%1+ Treffer</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
</context>
<context>
    <name>PageMenu</name>
    <message>
        <source>Copy link address</source>
        <translation>Link-Adresse kopieren</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copy image</source>
        <translation>Bild kopieren</translation>
    </message>
    <message>
        <source>back</source>
        <extracomment>Go back to the previous page</extracomment>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Inspect</source>
        <translation>Untersuchen</translation>
    </message>
</context>
<context>
    <name>WebContent</name>
    <message>
        <source>Not shown: %1</source>
        <translation>Nicht angezeigt: %1</translation>
    </message>
    <message>
        <source>This page is not shown</source>
        <translation>Diese Seite wird nicht angezeigt</translation>
    </message>
    <message>
        <source>The certificate of %1 could not be verified: %2.</source>
        <extracomment>%1 the site&apos;s host name, %2 why, from the list of reasons below</extracomment>
        <translation>Das Zertifikat von %1 konnte nicht überprüft werden: %2.</translation>
    </message>
    <message>
        <source>Someone may be pretending to be this site.</source>
        <translation>Möglicherweise gibt sich jemand als diese Website aus.</translation>
    </message>
    <message>
        <source>it is not signed by an authority this system trusts</source>
        <translation>es ist nicht von einer Stelle signiert, der dieses System vertraut</translation>
    </message>
    <message>
        <source>it is made out to another site</source>
        <translation>es ist auf eine andere Website ausgestellt</translation>
    </message>
    <message>
        <source>it is not valid yet</source>
        <translation>es ist noch nicht gültig</translation>
    </message>
    <message>
        <source>it has expired</source>
        <translation>es ist abgelaufen</translation>
    </message>
    <message>
        <source>it has been revoked</source>
        <translation>es wurde widerrufen</translation>
    </message>
    <message>
        <source>its algorithm is insecure</source>
        <translation>sein Algorithmus ist unsicher</translation>
    </message>
    <message>
        <source>it failed verification</source>
        <translation>die Überprüfung ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>; </source>
        <extracomment>Between two reasons a certificate failed</extracomment>
        <translation>; </translation>
    </message>
    <message>
        <source>Developer tools</source>
        <translation>Entwicklerwerkzeuge</translation>
    </message>
    <message>
        <source>JavaScript Confirm - %1</source>
        <translation>JavaScript-Bestätigung - %1</translation>
    </message>
    <message>
        <source>JavaScript Prompt - %1</source>
        <translation>JavaScript-Eingabe - %1</translation>
    </message>
    <message>
        <source>JavaScript Alert - %1</source>
        <translation>JavaScript-Hinweis - %1</translation>
    </message>
</context>
<context>
    <name>ZoomLabel</name>
    <message>
        <source>Zoom level</source>
        <translation>Zoomstufe</translation>
    </message>
    <message>
        <source>%1%</source>
        <extracomment>The page&apos;s zoom, %1 a number of percent</extracomment>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWBConfigure</name>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Collect</source>
        <extracomment>Title-bar button: keep this page in the chat service</extracomment>
        <translation>Merken</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>Teilen</translation>
    </message>
    <message>
        <source>Channel</source>
        <extracomment>Title-bar button: open the page&apos;s channel in the chat client</extracomment>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>Open Outside</source>
        <extracomment>Title-bar button: open the page in the desktop&apos;s web browser</extracomment>
        <translation>Im Browser öffnen</translation>
    </message>
    <message>
        <source>Download History</source>
        <extracomment>Title-bar button that opens the list of downloads</extracomment>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>Download Empty</source>
        <extracomment>Shown in place of the list while there are no downloads</extracomment>
        <translation>Keine Downloads</translation>
    </message>
    <message>
        <source>Download succeed</source>
        <translation>Download abgeschlossen</translation>
    </message>
    <message>
        <source>Dwonload failed</source>
        <translation>Download fehlgeschlagen</translation>
    </message>
    <message>
        <source>Open in folder</source>
        <translation>Im Ordner anzeigen</translation>
    </message>
    <message>
        <source>Back</source>
        <extracomment>Title-bar button: from the list of downloads back to the page</extracomment>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Download again</source>
        <translation>Erneut herunterladen</translation>
    </message>
    <message>
        <source>File has been moved or deleted</source>
        <translation>Die Datei wurde verschoben oder gelöscht</translation>
    </message>
    <message>
        <source>Clean</source>
        <extracomment>Button under the list of downloads: remove every entry
----------
Confirms removing every entry from the list of downloads</extracomment>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Delete this download record?</source>
        <translation>Diesen Download-Eintrag löschen?</translation>
    </message>
    <message>
        <source>Clean all download record?</source>
        <translation>Alle Download-Einträge löschen?</translation>
    </message>
    <message>
        <source>Ok</source>
        <extracomment>The button of a message box</extracomment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer</name>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer_impl</name>
    <message>
        <source>Logo</source>
        <translation>Logo</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
</TS>
