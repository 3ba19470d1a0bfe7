// The ordered JSON writer of tarvexctl show: member order, commas and string escaping.
#include "jsonwriter.h"
#include "testworld.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <climits>

class TestJsonWriter : public QObject {
    Q_OBJECT
private slots:
    void keepsMemberOrderAndPlacesCommas() {
        CJsonWriter json;
        json.beginObject();
        json.key("zebra");
        json.value(std::int64_t(INT_MIN));
        json.key("apple");
        json.beginArray();
        json.beginObject();
        json.endObject();
        json.beginArray();
        json.endArray();
        json.value(QString());
        json.value(std::int64_t(0));
        json.endArray();
        json.key("mango");
        json.beginArray();
        json.endArray();
        json.endObject();
        QCOMPARE(json.text(),
                 std::string("{\"zebra\":-2147483648,\"apple\":[{},[],\"\",0],\"mango\":[]}"));
    }

    void escapesAwkwardStrings_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("quotes") << QString("say \"hi\"") << QByteArray("\"say \\\"hi\\\"\"");
        QTest::newRow("backslashes")
            << QString("C:\\dir\\\\share\\") << QByteArray("\"C:\\\\dir\\\\\\\\share\\\\\"");
        QTest::newRow("slash stays") << QString("a/b") << QByteArray("\"a/b\"");
        QTest::newRow("line ends and tab")
            << QString("a\nb\r\tc") << QByteArray("\"a\\nb\\r\\tc\"");
        QTest::newRow("other controls") << QString::fromLatin1("\x01\x08\x0c\x1b\x1f", 5)
                                        << QByteArray("\"\\u0001\\u0008\\u000c\\u001b\\u001f\"");
        QTest::newRow("nul") << QString(QChar(0)) << QByteArray("\"\\u0000\"");
        QTest::newRow("delete is printable JSON") << QString("\x7f") << QByteArray("\"\x7f\"");
        QTest::newRow("non-ASCII")
            << QString::fromUtf8("Łukasz Żółć, Jörg, Ж, 中, 😀")
            << QByteArray("\"") + QString::fromUtf8("Łukasz Żółć, Jörg, Ж, 中, 😀").toUtf8() + "\"";
        QTest::newRow("escape-looking text")
            << QString("\\u0041\\n") << QByteArray("\"\\\\u0041\\\\n\"");
    }
    void escapesAwkwardStrings() {
        QFETCH(QString, input);
        QFETCH(QByteArray, expected);
        CJsonWriter json;
        json.beginArray();
        json.value(input);
        json.endArray();
        const QByteArray text = QByteArray::fromStdString(json.text());
        QCOMPARE(text, '[' + expected + ']');
        // And a JSON reader gets the text back.
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(doc.array().at(0).toString(), input);
    }

    void keysAreEscapedToo() {
        CJsonWriter json;
        json.beginObject();
        json.key("a\"b\\c\n");
        json.value(std::int64_t(1));
        json.endObject();
        QCOMPARE(json.text(), std::string("{\"a\\\"b\\\\c\\n\":1}"));
        QCOMPARE(QJsonDocument::fromJson(QByteArray::fromStdString(json.text()))
                     .object()
                     .value("a\"b\\c\n")
                     .toInt(),
                 1);
    }
};

TARVEX_TEST_GUILESS_MAIN(TestJsonWriter)
#include "tst_jsonwriter.moc"
