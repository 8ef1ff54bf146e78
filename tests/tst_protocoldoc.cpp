// The protocol reference is prose for integrators, the header of command names
// is code; nothing but this test keeps them together. It reads both files and
// checks that they name the same commands in the same groups, and that every
// message written out in the reference decodes to the payload printed beside it.
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <utility>

namespace {

QString sourceFile(const char *relativePath)
{
    QFile file(QStringLiteral(ZUVO_SOURCE_DIR "/") + QLatin1String(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// "group:command" for every name constant, grouped by the prefix declared
// at the top of its namespace.
QSet<QString> headerCommands(const QString &header, QStringList *groups)
{
    static const QRegularExpression constant(
        QStringLiteral("inline const QString (\\w+) = QStringLiteral\\(\"([^\"]*)\"\\);"));
    QSet<QString> commands;
    QString group;
    auto it = constant.globalMatch(header);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(1) == QLatin1String("suffix"))
            continue;
        if (match.captured(1) == QLatin1String("prefix")) {
            group = match.captured(2);
            groups->append(group);
        } else {
            commands.insert(group + QLatin1Char(':') + match.captured(2));
        }
    }
    return commands;
}

struct WireExample {
    QString text;
    QString group;
    QString command;
    QString payload;         // the Base64 field; null when the example stops at the command
    QString decodedExpected; // null when the reference prints no decoded payload beside it
};

struct Reference {
    QSet<QString> commands; // first cell of every table row under a "### Group `x`" heading
    QList<WireExample> examples;
};

QString decodedBeside(const QStringList &lines, int index, bool inTable)
{
    static const QRegularExpression cellPayload(QStringLiteral("^\\s*`([^`]*)`:"));
    static const QRegularExpression commentPayload(QStringLiteral("^\\s+# (.*)$"));
    static const QRegularExpression decodesTo(QStringLiteral("^decodes to `([^`]*)`"));
    if (inTable) {
        const QStringList cells = lines[index].split(QLatin1Char('|'));
        const QRegularExpressionMatch match = cellPayload.match(cells.value(5));
        if (match.hasMatch())
            return match.captured(1);
        if (cells.value(5).trimmed().startsWith(QLatin1String("empty:")))
            return QStringLiteral("");
        return QString();
    }
    // In a conversation the decoded payload is the comment on the next line;
    // a single example says "decodes to `…`" after its code block.
    const QRegularExpressionMatch comment = commentPayload.match(lines.value(index + 1));
    if (comment.hasMatch())
        return comment.captured(1) == QLatin1String("(empty)") ? QStringLiteral("") : comment.captured(1);
    const QRegularExpressionMatch sentence = decodesTo.match(lines.value(index + 2));
    if (lines.value(index + 1).startsWith(QLatin1String("```")) && sentence.hasMatch())
        return sentence.captured(1);
    return QString();
}

Reference readReference(const QString &markdown)
{
    static const QRegularExpression groupHeading(QStringLiteral("^### Group `(\\w+)`"));
    static const QRegularExpression tableCommand(QStringLiteral("^\\|\\s*`(\\w+)`\\s*\\|"));
    static const QRegularExpression wire(
        QStringLiteral("\\b(config|event|feedback|webfile|iq):(\\w+)(?::([A-Za-z0-9+/=]*);)?"));
    Reference reference;
    const QStringList lines = markdown.split(QLatin1Char('\n'));
    QString group;
    bool inCode = false;
    for (int index = 0; index < lines.size(); ++index) {
        const QString &line = lines[index];
        if (line.startsWith(QLatin1String("```")))
            inCode = !inCode;
        if (!inCode && line.startsWith(QLatin1Char('#'))) {
            const QRegularExpressionMatch heading = groupHeading.match(line);
            group = heading.hasMatch() ? heading.captured(1) : QString();
        }
        const QRegularExpressionMatch row = tableCommand.match(line);
        const bool commandRow = !inCode && !group.isEmpty() && row.hasMatch();
        if (commandRow)
            reference.commands.insert(group + QLatin1Char(':') + row.captured(1));

        auto it = wire.globalMatch(line);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            WireExample example{match.captured(0), match.captured(1), match.captured(2), match.captured(3), QString()};
            if (match.capturedLength(3) > 0 || match.captured(0).endsWith(QLatin1Char(';')))
                example.decodedExpected = decodedBeside(lines, index, commandRow);
            reference.examples.append(example);
        }
    }
    return reference;
}

} // namespace

class tst_ProtocolDoc : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyHeaderCommandIsInTheReference_data();
    void everyHeaderCommandIsInTheReference();
    void everyReferenceCommandIsInTheHeader_data();
    void everyReferenceCommandIsInTheHeader();
    void wireExamplesDecodeToTheirPayload_data();
    void wireExamplesDecodeToTheirPayload();

private:
    QSet<QString> _header;
    Reference _reference;
};

void tst_ProtocolDoc::initTestCase()
{
    const QString header = sourceFile("src/zwProtoc.h");
    const QString markdown = sourceFile("docs/protocol.md");
    QVERIFY(!header.isEmpty());
    QVERIFY(!markdown.isEmpty());

    // A header whose layout the pattern no longer matches must fail here,
    // not pass with nothing to compare.
    QStringList groups;
    _header = headerCommands(header, &groups);
    QCOMPARE(groups, (QStringList{"config", "event", "feedback", "webfile", "iq"}));
    _reference = readReference(markdown);
    QVERIFY(!_reference.examples.isEmpty());
}

void tst_ProtocolDoc::everyHeaderCommandIsInTheReference_data()
{
    QTest::addColumn<QString>("command");
    for (const QString &command : std::as_const(_header))
        QTest::newRow(qPrintable(command)) << command;
}

void tst_ProtocolDoc::everyHeaderCommandIsInTheReference()
{
    QFETCH(QString, command);
    QVERIFY2(_reference.commands.contains(command),
             qPrintable(command + " is missing from the command tables of docs/protocol.md"));
}

void tst_ProtocolDoc::everyReferenceCommandIsInTheHeader_data()
{
    QTest::addColumn<QString>("command");
    for (const QString &command : std::as_const(_reference.commands))
        QTest::newRow(qPrintable(command)) << command;
}

void tst_ProtocolDoc::everyReferenceCommandIsInTheHeader()
{
    QFETCH(QString, command);
    QVERIFY2(_header.contains(command), qPrintable(command + " is not a command of src/zwProtoc.h"));
}

void tst_ProtocolDoc::wireExamplesDecodeToTheirPayload_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("decodedExpected");
    for (const WireExample &example : std::as_const(_reference.examples))
        QTest::newRow(qPrintable(example.text.left(60)))
            << example.group + QLatin1Char(':') + example.command << example.payload << example.decodedExpected;
}

void tst_ProtocolDoc::wireExamplesDecodeToTheirPayload()
{
    QFETCH(QString, command);
    QFETCH(QString, payload);
    QFETCH(QString, decodedExpected);

    QVERIFY2(_header.contains(command), qPrintable(command + " is not a command of src/zwProtoc.h"));
    const auto decoded = QByteArray::fromBase64Encoding(payload.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    QCOMPARE(decoded.decodingStatus, QByteArray::Base64DecodingStatus::Ok);
    QCOMPARE(QString::fromLatin1(decoded.decoded.toBase64()), payload);
    if (!decodedExpected.isNull())
        QCOMPARE(QString::fromUtf8(decoded.decoded), decodedExpected);
}

QTEST_MAIN(tst_ProtocolDoc)
#include "tst_protocoldoc.moc"
