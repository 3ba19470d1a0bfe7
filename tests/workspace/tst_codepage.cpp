#include "codepage.h"
#include "testworld.h"

#include <QtTest>

class TestCodePage : public QObject {
    Q_OBJECT
private slots:
    void windows1252() {
        const CCodePage cp;
        QVERIFY(cp.IsValid());
        QCOMPARE(cp.Name(), QStringLiteral("windows-1252"));
        QCOMPARE(cp.ToUnicode("M\xFCller \x80 \x9C"), QString::fromUtf8("Müller € œ"));
        bool lossless = false;
        QCOMPARE(cp.FromUnicode(QString::fromUtf8("Jörg €5"), &lossless), std::string("J\xF6rg \x80"
                                                                                      "5"));
        QVERIFY(lossless);
        QCOMPARE(cp.ToUnicode(std::string("a\0b", 3)), QString::fromLatin1("a\0b", 3));

        // Every byte the code page defines comes back as itself.
        for (int b = 1; b < 256; ++b) {
            const std::string in(1, char(b));
            const QString u = cp.ToUnicode(in);
            if (u == QString(QChar(0xFFFD)))
                continue;
            QCOMPARE(cp.FromUnicode(u), in);
        }
    }

    void undefinedAndUnmappable() {
        const CCodePage cp;
        // 0x81 has no character in windows-1252 (at least in iconv's table).
        const QString decoded = cp.ToUnicode("a\x81z");
        QCOMPARE(decoded.size(), 3);
        QCOMPARE(decoded.front(), QChar('a'));
        QCOMPARE(decoded.back(), QChar('z'));

        bool lossless = true;
        QCOMPARE(cp.FromUnicode(QString::fromUtf8("Жук 😀 ok"), &lossless), std::string("??? ? ok"));
        QVERIFY(!lossless);
    }

    void otherCodePages() {
        const CCodePage cyrillic(QStringLiteral("CP1251"));
        QVERIFY(cyrillic.IsValid());
        QCOMPARE(cyrillic.FromUnicode(QString::fromUtf8("Жук")), std::string("\xC6\xF3\xEA"));
        QCOMPARE(cyrillic.ToUnicode("\xC6\xF3\xEA"), QString::fromUtf8("Жук"));

        const CCodePage unknown(QStringLiteral("no-such-code-page"));
        QVERIFY(!unknown.IsValid());
        QCOMPARE(unknown.ToUnicode("ab\xE9"), QString::fromUtf8("ab\uFFFD"));
        QCOMPARE(unknown.FromUnicode(QString::fromUtf8("abé")), std::string("ab?"));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
