// Error texts, value-to-text conversion and connection strings: no driver needed.
#include "adoerror.h"
#include "adovalue.h"
#include "datalinkprompt.h"
#include "odbcconnectionstring.h"
#include "testworld.h"

#include <QCoreApplication>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(CADOValue)

class TestDbTexts : public QObject {
    Q_OBJECT
private slots:
    void codeMeaning_data();
    void codeMeaning();
    void errorBlock();
    void valueText_data();
    void valueText();
    void dateFormats();
    void connectionStringParsing();
    void connectionStringRoundTrip();
    void dataLinkPromptContract();
};

void TestDbTexts::codeMeaning_data() {
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QString>("meaning");
    QTest::newRow("unspecified") << 0x80004005u << "Unspecified error";
    QTest::newRow("interface 0xE14") << 0x80040E14u << "IDispatch error #3092";
    QTest::newRow("interface first") << 0x80040200u << "IDispatch error #0";
    QTest::newRow("interface below 0x200") << 0x800401FFu << "Unknown error 0x800401FF";
    QTest::newRow("other facility") << 0x800A0CC1u << "Unknown error 0x800A0CC1";
    QTest::newRow("facility 4, not a failure") << 0x00040E14u << "Unknown error 0x40E14";
}

void TestDbTexts::codeMeaning() {
    QFETCH(quint32, code);
    QFETCH(QString, meaning);
    QCOMPARE(adoCodeMeaning(code), meaning);
}

void TestDbTexts::errorBlock() {
    QCOMPARE(adoErrorBlock("CADORecordset Error", {0x80040E14u, "src", "what happened"}),
             QStringLiteral("CADORecordset Error\n\tCode = 80040e14\n\tCode meaning = IDispatch "
                            "error #3092\n\tSource = src\n\tDescription = what happened\n"));
    QCOMPARE(adoErrorBlock("CADODataBase Error", {0x5u, "", ""}),
             QStringLiteral("CADODataBase Error\n\tCode = 00000005\n\tCode meaning = Unknown error "
                            "0x5\n\tSource = \n\tDescription = \n"));
}

namespace {
CADOValue make(CADOValue::Type type) {
    CADOValue v;
    v.type = type;
    return v;
}
} // namespace

void TestDbTexts::valueText_data() {
    QTest::addColumn<CADOValue>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");

    QTest::newRow("empty") << make(CADOValue::Empty) << "" << true;
    QTest::newRow("null") << make(CADOValue::Null) << "" << true;
    CADOValue v = make(CADOValue::Integer);
    v.integer = -32768;
    QTest::newRow("negative") << v << "-32768" << true;
    v.integer = std::numeric_limits<qint64>::min();
    QTest::newRow("64-bit minimum") << v << "-9223372036854775808" << true;
    v = make(CADOValue::Unsigned);
    v.unsignedInteger = 4294967295u;
    QTest::newRow("unsigned 32") << v << "4294967295" << true;
    v = make(CADOValue::Float);
    v.real = 1.0f / 3.0f;
    QTest::newRow("float 10 digits") << v << "0.3333333433" << true;
    v.real = 1e20;
    QTest::newRow("float exponent") << v << "1.00000002e+20" << true;
    v = make(CADOValue::Double);
    v.real = 1.0 / 3.0;
    QTest::newRow("double 20 digits") << v << "0.33333333333333331483" << true;
    v.real = 2.5;
    QTest::newRow("double short") << v << "2.5" << true;
    v = make(CADOValue::Decimal);
    v.real = -12.5;
    QTest::newRow("decimal") << v << "-12.5" << true;
    v.real = 5000000000.0;
    QTest::newRow("decimal past 32 bits") << v << "5000000000" << true;
    v = make(CADOValue::String);
    v.text = QStringLiteral("  As It Is\t");
    QTest::newRow("string unchanged") << v << "  As It Is\t" << true;
    v = make(CADOValue::Boolean);
    v.boolean = true;
    QTest::newRow("true") << v << "T" << true;
    v.boolean = false;
    QTest::newRow("false") << v << "F" << true;
    v = make(CADOValue::Bytes);
    v.bytes = "abc";
    QTest::newRow("bytes") << v << "" << false;
    QTest::newRow("other") << make(CADOValue::Other) << "" << false;
}

void TestDbTexts::valueText() {
    QFETCH(CADOValue, value);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QString out = QStringLiteral("stale");
    QCOMPARE(adoValueToText(value, out), ok);
    QCOMPARE(out, text);
}

void TestDbTexts::dateFormats() {
    CADOValue v = make(CADOValue::Date);
    v.date = {2024, 3, 5, 7, 8, 9};
    QString out;
    QVERIFY(adoValueToText(v, out));
    QCOMPARE(out, QStringLiteral("2024-03-05 07:08:09"));
    QVERIFY(adoValueToText(v, out, QStringLiteral("%d.%m.%Y %H:%M")));
    QCOMPARE(out, QStringLiteral("05.03.2024 07:08"));
    QVERIFY(adoValueToText(v, out, QStringLiteral("%j %a")));
    QCOMPARE(out, QStringLiteral("065 Tue"));
    v.date = {1899, 12, 30, 23, 59, 0};
    QVERIFY(adoValueToText(v, out));
    QCOMPARE(out, QStringLiteral("1899-12-30 23:59:00"));
}

void TestDbTexts::connectionStringParsing() {
    const COdbcConnectionString cs(
        QStringLiteral(" Driver={SQLite 3;odd}; database = /a b/c.db ;PWD={x}}y};FLAG;"));
    QCOMPARE(cs.value(QStringLiteral("DRIVER")), QStringLiteral("SQLite 3;odd"));
    QCOMPARE(cs.value(QStringLiteral("Database")), QStringLiteral("/a b/c.db"));
    QCOMPARE(cs.value(QStringLiteral("pwd")), QStringLiteral("x}y"));
    QVERIFY(cs.has(QStringLiteral("flag")));
    QVERIFY(!cs.has(QStringLiteral("NoCreat")));
    QCOMPARE(cs.attributes().size(), 4);
    const COdbcConnectionString first(QStringLiteral("DSN=a;dsn=b"));
    QCOMPARE(first.value(QStringLiteral("DSN")), QStringLiteral("a"));
    QVERIFY(COdbcConnectionString(QString()).attributes().isEmpty());
    QCOMPARE(COdbcConnectionString(QStringLiteral("Driver={unterminated")).value("Driver"),
             QStringLiteral("unterminated"));
}

void TestDbTexts::connectionStringRoundTrip() {
    COdbcConnectionString cs;
    cs.set(QStringLiteral("Driver"), QStringLiteral("SQLite3"));
    cs.set(QStringLiteral("PWD"), QStringLiteral("a;b}c "));
    cs.set(QStringLiteral("driver"), QStringLiteral("Other"));
    QCOMPARE(cs.toString(), QStringLiteral("Driver=Other;PWD={a;b}}c }"));
    const COdbcConnectionString back(cs.toString());
    QCOMPARE(back.value(QStringLiteral("PWD")), QStringLiteral("a;b}c "));
}

namespace {
// Answers the prompt from a script instead of a dialog.
class ScriptedPrompt : public CDataLinkPrompt {
public:
    bool confirm = true;
    QString answer;
    QString offered;

protected:
    bool runDialog(const QString& initial, QString& result) override {
        offered = initial;
        result = answer;
        return confirm;
    }
};
} // namespace

void TestDbTexts::dataLinkPromptContract() {
    ScriptedPrompt prompt;
    prompt.answer = QStringLiteral("Driver=SQLite3;Database=/a.db");
    QVERIFY(prompt.PromptNew());
    QCOMPARE(prompt.offered, QString());
    QCOMPARE(prompt.GetConnectionString(), prompt.answer);
    prompt.confirm = false;
    QVERIFY(!prompt.PromptEdit(QStringLiteral("DSN=x")));
    QCOMPARE(prompt.offered, QStringLiteral("DSN=x"));
    QCOMPARE(prompt.GetConnectionString(), QStringLiteral("Driver=SQLite3;Database=/a.db"));
    QVERIFY(!prompt.PromptNew()); // a cancelled new connection empties the string
    QCOMPARE(prompt.GetConnectionString(), QString());
    prompt.confirm = true;
    prompt.answer = QStringLiteral("DSN=y");
    QVERIFY(prompt.PromptEdit(QStringLiteral("DSN=x")));
    QCOMPARE(prompt.GetConnectionString(), QStringLiteral("DSN=y"));
}

TARVEX_TEST_GUILESS_MAIN(TestDbTexts)
#include "tst_dbtexts.moc"
