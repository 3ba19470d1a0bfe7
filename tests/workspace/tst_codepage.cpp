#include "codepage.h"
#include "testworld.h"
#include "unmappedtext.h"

#include <QtTest>

namespace {

// Sets the locale variables for one scope and puts the previous values back.
class LocaleEnvironment {
public:
    LocaleEnvironment(const char* all, const char* ctype, const char* lang) {
        const char* values[] = {all, ctype, lang};
        for (int i = 0; i < 3; ++i) {
            m_saved[i] = qgetenv(kNames[i]);
            m_wasSet[i] = qEnvironmentVariableIsSet(kNames[i]);
            if (values[i])
                qputenv(kNames[i], values[i]);
            else
                qunsetenv(kNames[i]);
        }
    }
    ~LocaleEnvironment() {
        for (int i = 0; i < 3; ++i) {
            if (m_wasSet[i])
                qputenv(kNames[i], m_saved[i]);
            else
                qunsetenv(kNames[i]);
        }
    }
    LocaleEnvironment(const LocaleEnvironment&) = delete;
    LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

private:
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_CTYPE", "LANG"};
    QByteArray m_saved[3];
    bool m_wasSet[3] = {};
};

} // namespace

class TestCodePage : public QObject {
    Q_OBJECT
private slots:
    void windows1252() {
        const CCodePage cp(QStringLiteral("windows-1252"));
        QVERIFY(cp.IsValid());
        QCOMPARE(cp.Name(), QStringLiteral("windows-1252"));
        QCOMPARE(cp.ToUnicode("M\xFCller \x80 \x9C"), QString::fromUtf8("Müller € œ"));
        CUnmappedText unmapped;
        QCOMPARE(cp.FromUnicode(QString::fromUtf8("Jörg €5"), unmapped), std::string("J\xF6rg \x80"
                                                                                     "5"));
        QVERIFY(unmapped.IsEmpty());
        QCOMPARE(cp.ToUnicode(std::string("a\0b", 3)), QString::fromLatin1("a\0b", 3));

        // Every byte the code page defines comes back as itself.
        for (int b = 1; b < 256; ++b) {
            const std::string in(1, char(b));
            const QString u = cp.ToUnicode(in);
            if (u == QString(QChar(0xFFFD)))
                continue;
            QCOMPARE(cp.FromUnicode(u, unmapped), in);
        }
        QVERIFY(unmapped.IsEmpty());
    }

    void undefinedBytes() {
        const CCodePage cp(QStringLiteral("windows-1252"));
        // 0x81 has no character in windows-1252 (at least in iconv's table).
        const QString decoded = cp.ToUnicode("a\x81z");
        QCOMPARE(decoded.size(), 3);
        QCOMPARE(decoded.front(), QChar('a'));
        QCOMPARE(decoded.back(), QChar('z'));
    }

    void lostCharactersAreCountedWithTheFirstExample() {
        const CCodePage western(QStringLiteral("windows-1252"));
        CUnmappedText unmapped;
        QCOMPARE(western.FromUnicode(QString::fromUtf8("Łukasz Żółć"), unmapped),
                 std::string("?ukasz ?\xF3??"));
        QCOMPARE(unmapped.Count(), 4);
        QCOMPARE(unmapped.FirstCharacter(), QString::fromUtf8("Ł"));
        QCOMPARE(unmapped.FirstText(), QString::fromUtf8("Łukasz Żółć"));

        // Further texts of the same operation add to the count; the first example stays.
        // A character outside the 16-bit range is one character, not two.
        QCOMPARE(western.FromUnicode(QString::fromUtf8("Жук 😀 ok"), unmapped),
                 std::string("??? ? ok"));
        QCOMPARE(unmapped.Count(), 8);
        QCOMPARE(unmapped.FirstCharacter(), QString::fromUtf8("Ł"));
        const QString warning = unmapped.Warning(western.Name());
        QVERIFY2(warning.contains(QStringLiteral("8 characters")), qPrintable(warning));
        QVERIFY(warning.contains(QStringLiteral("windows-1252")));
        QVERIFY(warning.contains(QString::fromUtf8("\"Ł\" in \"Łukasz Żółć\"")));

        CUnmappedText emoji;
        western.FromUnicode(QString::fromUtf8("a😀"), emoji);
        QCOMPARE(emoji.Count(), 1);
        QCOMPARE(emoji.FirstCharacter(), QString::fromUtf8("😀"));
        QVERIFY(emoji.Warning(western.Name()).startsWith(QStringLiteral("1 character ")));

        CUnmappedText merged;
        merged.Merge(emoji);
        merged.Merge(unmapped);
        QCOMPARE(merged.Count(), 9);
        QCOMPARE(merged.FirstCharacter(), QString::fromUtf8("😀"));
        QVERIFY(CUnmappedText().Warning(western.Name()).isEmpty());

        // The right code page holds the same name whole.
        const CCodePage central(QStringLiteral("windows-1250"));
        CUnmappedText none;
        QCOMPARE(central.FromUnicode(QString::fromUtf8("Łukasz Żółć"), none),
                 std::string("\xA3ukasz \xAF\xF3\xB3\xE6"));
        QVERIFY(none.IsEmpty());
        // A letter written as base and combining mark is stored as the precomposed letter.
        QCOMPARE(central.FromUnicode(QString::fromUtf8("Z\u0307o\u0301\u0142c\u0301"), none),
                 std::string("\xAF\xF3\xB3\xE6"));
        QVERIFY(none.IsEmpty());
    }

    void otherCodePages() {
        const CCodePage cyrillic(QStringLiteral("CP1251"));
        QVERIFY(cyrillic.IsValid());
        CUnmappedText unmapped;
        QCOMPARE(cyrillic.FromUnicode(QString::fromUtf8("Жук"), unmapped),
                 std::string("\xC6\xF3\xEA"));
        QCOMPARE(cyrillic.ToUnicode("\xC6\xF3\xEA"), QString::fromUtf8("Жук"));

        const CCodePage unknown(QStringLiteral("no-such-code-page"));
        QVERIFY(!unknown.IsValid());
        QCOMPARE(unknown.ToUnicode("ab\xE9"), QString::fromUtf8("ab\uFFFD"));
        QCOMPARE(unknown.FromUnicode(QString::fromUtf8("abé😀"), unmapped), std::string("ab??"));
        QCOMPARE(unmapped.Count(), 2);
        QCOMPARE(unmapped.FirstCharacter(), QString::fromUtf8("é"));
    }

    void namesAsTheUserGivesThem() {
        QCOMPARE(CCodePage::ResolveName(QStringLiteral("1250")), QStringLiteral("windows-1250"));
        QCOMPARE(CCodePage::ResolveName(QStringLiteral(" 1251 ")), QStringLiteral("windows-1251"));
        QCOMPARE(CCodePage::ResolveName(QStringLiteral("CP1250")), QStringLiteral("CP1250"));
        QCOMPARE(CCodePage::ResolveName(QStringLiteral("windows-1257")),
                 QStringLiteral("windows-1257"));
        for (const char* name : {"1250", "CP1250", "windows-1250", "cp1250"}) {
            const CCodePage cp(QString::fromLatin1(name));
            QVERIFY2(cp.IsValid(), name);
            QCOMPARE(cp.ToUnicode("\xA3"), QString::fromUtf8("Ł"));
        }
        // Numbers that iconv knows only with the "CP" prefix.
        const CCodePage dos(QStringLiteral("437"));
        QVERIFY(dos.IsValid());
        QCOMPARE(dos.ToUnicode("\x81"), QString::fromUtf8("ü"));
        QVERIFY(!CCodePage(QStringLiteral("99999")).IsValid());
    }

    void localeLanguagePicksTheCodePage_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("codePage");
        const char* const rows[][2] = {
            {"pl_PL.UTF-8", "windows-1250"},
            {"cs_CZ", "windows-1250"},
            {"sk_SK.UTF-8", "windows-1250"},
            {"hu_HU.ISO-8859-2", "windows-1250"},
            {"hr_HR", "windows-1250"},
            {"sl_SI.UTF-8", "windows-1250"},
            {"ro_RO", "windows-1250"},
            {"sq_AL.UTF-8", "windows-1250"},
            {"ru_RU.UTF-8", "windows-1251"},
            {"uk_UA.KOI8-U", "windows-1251"},
            {"bg_BG", "windows-1251"},
            {"be_BY.UTF-8", "windows-1251"},
            {"mk_MK", "windows-1251"},
            {"sr_RS.UTF-8", "windows-1251"},
            {"sr_RS@latin", "windows-1250"},
            {"sr_RS.UTF-8@latin", "windows-1250"},
            {"sr_CS.UTF-8@Latn", "windows-1250"},
            {"sr-Latn-RS", "windows-1250"},
            {"sr_Cyrl_RS", "windows-1251"},
            {"sr_ME.UTF-8", "windows-1250"},
            {"el_GR.UTF-8", "windows-1253"},
            {"tr_TR.UTF-8", "windows-1254"},
            {"az_AZ", "windows-1254"},
            {"he_IL.UTF-8", "windows-1255"},
            {"ar_EG.UTF-8", "windows-1256"},
            {"fa_IR", "windows-1256"},
            {"lt_LT.UTF-8", "windows-1257"},
            {"lv_LV", "windows-1257"},
            {"et_EE.UTF-8", "windows-1257"},
            {"vi_VN", "windows-1258"},
            {"de_DE.UTF-8", "windows-1252"},
            {"en_US", "windows-1252"},
            {"fr", "windows-1252"},
            {"C.UTF-8", "windows-1252"},
            {"C", "windows-1252"},
            {"POSIX", "windows-1252"},
            {"", "windows-1252"},
            {"PL_pl", "windows-1250"},
            {"ja_JP.UTF-8", "windows-1252"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
    }
    void localeLanguagePicksTheCodePage() {
        QFETCH(QString, locale);
        QFETCH(QString, codePage);
        QCOMPARE(CCodePage::NameForLocale(locale), codePage);
    }

    void processLocaleDecidesWithoutASetting() {
        {
            // LC_ALL wins over LC_CTYPE, which wins over LANG, as for setlocale().
            LocaleEnvironment env("pl_PL.UTF-8", "ru_RU.UTF-8", "el_GR.UTF-8");
            QCOMPARE(CCodePage::DefaultName(), QStringLiteral("windows-1250"));
            const CCodePage cp;
            QCOMPARE(cp.Name(), QStringLiteral("windows-1250"));
            CUnmappedText unmapped;
            QCOMPARE(cp.FromUnicode(QString::fromUtf8("Łukasz Żółć"), unmapped),
                     std::string("\xA3ukasz \xAF\xF3\xB3\xE6"));
            QVERIFY(unmapped.IsEmpty());
            QCOMPARE(CCodePage(QString()).Name(), QStringLiteral("windows-1250"));
            // A chosen code page still wins over the locale.
            QCOMPARE(CCodePage(QStringLiteral("1251")).Name(), QStringLiteral("windows-1251"));
        }
        {
            LocaleEnvironment env(nullptr, "ru_RU.UTF-8", "el_GR.UTF-8");
            QCOMPARE(CCodePage::DefaultName(), QStringLiteral("windows-1251"));
        }
        {
            LocaleEnvironment env("", "", "el_GR.UTF-8");
            QCOMPARE(CCodePage::DefaultName(), QStringLiteral("windows-1253"));
        }
        {
            LocaleEnvironment env(nullptr, nullptr, nullptr);
            QCOMPARE(CCodePage::DefaultName(), QStringLiteral("windows-1252"));
        }
    }
};

TARVEX_TEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
