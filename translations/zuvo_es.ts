<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>CrashNotice</name>
    <message>
        <source>This page stopped working: the process that showed it has ended.
Refresh, or open another address, to load it again.</source>
        <translation>Esta página ha dejado de funcionar: el proceso que la mostraba ha terminado.
Actualice o abra otra dirección para volver a cargarla.</translation>
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
        <translation>Descargando</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>En espera</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <extracomment>Bytes received so far, of the file&apos;s size</extracomment>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/s</translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation>quedan %1</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find in page</source>
        <translation>Buscar en la página</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Coincidencias</translation>
    </message>
    <message>
        <source>Previous match</source>
        <translation>Coincidencia anterior</translation>
    </message>
    <message>
        <source>Next match</source>
        <translation>Coincidencia siguiente</translation>
    </message>
    <message>
        <source>Close find bar</source>
        <translation>Cerrar la barra de búsqueda</translation>
    </message>
    <message>
        <source>%1+ matches</source>
        <translation>%1+ coincidencias</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
</context>
<context>
    <name>PageMenu</name>
    <message>
        <source>Copy link address</source>
        <translation>Copiar la dirección del enlace</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message>
        <source>Copy image</source>
        <translation>Copiar la imagen</translation>
    </message>
    <message>
        <source>back</source>
        <extracomment>Go back to the previous page</extracomment>
        <translation>Atrás</translation>
    </message>
    <message>
        <source>Inspect</source>
        <translation>Inspeccionar</translation>
    </message>
</context>
<context>
    <name>WebContent</name>
    <message>
        <source>Not shown: %1</source>
        <translation>No se muestra: %1</translation>
    </message>
    <message>
        <source>This page is not shown</source>
        <translation>Esta página no se muestra</translation>
    </message>
    <message>
        <source>The certificate of %1 could not be verified: %2.</source>
        <extracomment>%1 the site&apos;s host name, %2 why, from the list of reasons below</extracomment>
        <translation>No se ha podido verificar el certificado de %1: %2.</translation>
    </message>
    <message>
        <source>Someone may be pretending to be this site.</source>
        <translation>Es posible que alguien se esté haciendo pasar por este sitio.</translation>
    </message>
    <message>
        <source>it is not signed by an authority this system trusts</source>
        <translation>no lo firma ninguna autoridad en la que confíe este sistema</translation>
    </message>
    <message>
        <source>it is made out to another site</source>
        <translation>está emitido para otro sitio</translation>
    </message>
    <message>
        <source>it is not valid yet</source>
        <translation>todavía no es válido</translation>
    </message>
    <message>
        <source>it has expired</source>
        <translation>ha caducado</translation>
    </message>
    <message>
        <source>it has been revoked</source>
        <translation>ha sido revocado</translation>
    </message>
    <message>
        <source>its algorithm is insecure</source>
        <translation>su algoritmo no es seguro</translation>
    </message>
    <message>
        <source>it failed verification</source>
        <translation>no ha superado la verificación</translation>
    </message>
    <message>
        <source>; </source>
        <extracomment>Between two reasons a certificate failed</extracomment>
        <translation>; </translation>
    </message>
    <message>
        <source>Developer tools</source>
        <translation>Herramientas para desarrolladores</translation>
    </message>
    <message>
        <source>JavaScript Confirm - %1</source>
        <translation>Confirmación de JavaScript - %1</translation>
    </message>
    <message>
        <source>JavaScript Prompt - %1</source>
        <translation>Entrada de JavaScript - %1</translation>
    </message>
    <message>
        <source>JavaScript Alert - %1</source>
        <translation>Aviso de JavaScript - %1</translation>
    </message>
</context>
<context>
    <name>ZoomLabel</name>
    <message>
        <source>Zoom level</source>
        <translation>Nivel de zoom</translation>
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
        <translation>Actualizar</translation>
    </message>
    <message>
        <source>Collect</source>
        <extracomment>Title-bar button: keep this page in the chat service</extracomment>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>Share</source>
        <translation>Compartir</translation>
    </message>
    <message>
        <source>Channel</source>
        <extracomment>Title-bar button: open the page&apos;s channel in the chat client</extracomment>
        <translation>Canal</translation>
    </message>
    <message>
        <source>Open Outside</source>
        <extracomment>Title-bar button: open the page in the desktop&apos;s web browser</extracomment>
        <translation>Abrir en el navegador</translation>
    </message>
    <message>
        <source>Download History</source>
        <extracomment>Title-bar button that opens the list of downloads</extracomment>
        <translation>Descargas</translation>
    </message>
    <message>
        <source>Download Empty</source>
        <extracomment>Shown in place of the list while there are no downloads</extracomment>
        <translation>No hay descargas</translation>
    </message>
    <message>
        <source>Download succeed</source>
        <translation>Descarga completada</translation>
    </message>
    <message>
        <source>Dwonload failed</source>
        <translation>Error en la descarga</translation>
    </message>
    <message>
        <source>Open in folder</source>
        <translation>Mostrar en la carpeta</translation>
    </message>
    <message>
        <source>Back</source>
        <extracomment>Title-bar button: from the list of downloads back to the page</extracomment>
        <translation>Volver</translation>
    </message>
    <message>
        <source>Download again</source>
        <translation>Volver a descargar</translation>
    </message>
    <message>
        <source>File has been moved or deleted</source>
        <translation>El archivo se ha movido o eliminado</translation>
    </message>
    <message>
        <source>Clean</source>
        <extracomment>Button under the list of downloads: remove every entry
----------
Confirms removing every entry from the list of downloads</extracomment>
        <translation>Vaciar</translation>
    </message>
    <message>
        <source>Delete this download record?</source>
        <translation>¿Eliminar este registro de descarga?</translation>
    </message>
    <message>
        <source>Clean all download record?</source>
        <translation>¿Eliminar todos los registros de descarga?</translation>
    </message>
    <message>
        <source>Ok</source>
        <extracomment>The button of a message box</extracomment>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer</name>
    <message>
        <source>Save File</source>
        <translation>Guardar archivo</translation>
    </message>
</context>
<context>
    <name>ZuvoChatWebBroswer_impl</name>
    <message>
        <source>Logo</source>
        <translation>Logotipo</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimizar</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximizar</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
</TS>
