#!/usr/bin/env python3
"""Writes the seed corpus of the host-link fuzz target and its dictionary.

Every group and command of the host protocol appears at least once, in the
wire form (Base64 payload) and in the harness's line form (plain payload), with
file lists of many records, progress replies and small images."""
import base64
import json
import os
import struct
import sys
import zlib

here = os.path.dirname(os.path.abspath(__file__))
corpus = os.path.join(here, "corpus")


def wire(group, command, payload):
    if isinstance(payload, str):
        payload = payload.encode("utf-8")
    return f"{group}:{command}:".encode() + base64.b64encode(payload) + b";"


def line(group, command, payload):
    if isinstance(payload, str):
        payload = payload.encode("utf-8")
    return f"@{group}:{command}:".encode() + payload + b"\n"


def png(width, height):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\x00" + b"\xff\x00\x00\xff" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def record(i, status):
    return {"key": f"file{i}", "name": f"report {i}.pdf", "createTime": 1700000000000 + i * 3600000,
            "updateTime": 1700000000000 + i * 3600000, "fileSize": 1000 * (i + 1), "status": status,
            "downloadOffset": 500 * i, "fileExists": i % 3 != 0}


texts = ["title", "refreshText", "collectText", "shareText", "channelText", "openoutsideText",
         "webFileText", "webFileEmptyText", "webFileSuccessText", "webFileFailedText",
         "webFileOpenInFolderText", "webFileBackText", "webFileRedownloadText", "webFileMissedText",
         "webFileRemoveAllText", "webFileRemoveTipsText", "webFileRemoveAllTipsText", "infoBoxOk",
         "infoBoxCancel", "infoBoxDelete", "infoBoxClean", "accessToken", "tipsWebFileRemoveItem",
         "tipsWebFileRemoveAll"]
numbers = {"titleHeight": "41", "titleLeft": "7", "titleRight": "8", "titleSkip": "9", "miniWidth": "600",
           "titleBackgroundColor": "10,20,30,255", "shadowColor": "1,2,3,128",
           "containerBackgroundColor": "16711680", "windowsRect": "100,50,800,600,1",
           "infoBoxSize": "200,80", "infoBoxMargin": "1,2,3,4"}
images = ["Icon", "titleLogoData", "titleMinisizeIconData", "titleMaxsizeIconData",
          "titleRestoreIconData", "titleCloseIconData"]
events = {"active": "", "showUrl": "about:blank", "updateOpenOutside": "true",
          "updateCheckChannel": "True", "updateStoreToZuvo": " TRUE ", "updateShareToFriend": "false",
          "showBoxMessage": "Saved to your downloads"}
feedback = ["storeToZuvo", "share", "channel", "refresh", "savePosition", "openOutside", "gotoChannel",
            "receiveLog"]

many = [record(i, i % 4) for i in range(200)]
replies = {
    "getFileListRes": {"key": "$LIST$", "data": many},
    "getDownloadOffsetRes": {"key": "$OFFSET$", "data": [{"key": "file1", "downloadOffset": 900, "status": 1},
                                                         {"key": "file5", "status": 2, "fileExists": True}]},
    "startDownloadRes": {"key": "$DOWNLOAD$", "info": "Download started"},
    "restartDownloadRes": {"key": "k", "fileKey": "file3"},
    "removeHistoryRes": {"key": "k", "fileKey": "file2"},
    "removeAllHistoryRes": {"key": "k"},
}
requests = ["getFileList", "getDownloadOffset", "openFileFolder", "startDownload", "restartDownload",
            "removeHistory", "removeAllHistory"]

seeds = {}
for name in texts:
    seeds[f"config-{name}"] = wire("config", name, "Zuvo ✓ " + name)
for name, value in numbers.items():
    seeds[f"config-{name}"] = wire("config", name, value)
    seeds[f"line-config-{name}"] = line("config", name, value)
for name in images:
    seeds[f"config-{name}"] = wire("config", name, png(4, 3))
for name, value in events.items():
    seeds[f"event-{name}"] = wire("event", name, value)
seeds["event-active-short"] = b"event:active;"
for name in feedback:
    seeds[f"feedback-{name}"] = wire("feedback", name, "1,2,3,4,0" if name == "savePosition" else "")
for name, value in replies.items():
    text = json.dumps(value, separators=(",", ":"))
    seeds[f"webfile-{name}"] = wire("webfile", name, text)
    seeds[f"line-webfile-{name}"] = line("webfile", name, text)
for name in requests:
    seeds[f"webfile-{name}"] = wire("webfile", name, '{"key":"k"}')
info = json.dumps({"key": "$USERINFO$", "info": "{\"name\":\"Ann\"}"}, separators=(",", ":"))
seeds["iq-currentuserinfoRes"] = wire("iq", "currentuserinfoRes", info)
seeds["line-iq-currentuserinfoRes"] = line("iq", "currentuserinfoRes", info)
seeds["iq-currentuserinfo"] = wire("iq", "currentuserinfo", "0" * 32)
seeds["mixed-session"] = b"".join([wire("config", "title", "Hello"), b"\n ", wire("event", "showBoxMessage", "hi"),
                                   wire("webfile", "getFileListRes", json.dumps(replies["getFileListRes"])),
                                   b"event:active;", wire("config", "titleHeight", "50")])
seeds["split-tail"] = wire("config", "title", "Hello")[:9]

os.makedirs(corpus, exist_ok=True)
for old in os.listdir(corpus):
    os.remove(os.path.join(corpus, old))
for name, data in seeds.items():
    with open(os.path.join(corpus, name), "wb") as f:
        f.write(data)

words = sorted({"config", "event", "feedback", "webfile", "iq", *texts, *numbers, *images, *events, *feedback,
                *replies, *requests, "currentuserinfo", "currentuserinfoRes", "key", "data", "info", "fileKey",
                "fileList", "name", "url", "createTime", "updateTime", "fileSize", "status", "downloadOffset",
                "fileExists", "true", "false", "null", "$LIST$", "$OFFSET$", "$DOWNLOAD$", "$USERINFO$",
                "$FILE$"})
with open(os.path.join(here, "hostlink.dict"), "w") as f:
    f.write("# Words of the host protocol, for the fuzzer's mutations.\n")
    for word in words:
        f.write(f'"{word}"\n')
    for extra in [":", ";", "=", "==", ",", "-1", "2147483648", "18446744073709551616", "[", "]", "{", "}",
                  "\\x0a", "\\x00", "\\x89PNG\\x0d\\x0a\\x1a\\x0a", "IHDR", "IDAT"]:
        f.write(f'"{extra}"\n')
print(f"{len(seeds)} seeds, {len(words)} words", file=sys.stderr)
