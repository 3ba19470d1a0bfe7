// The language modules the program ships: each covers every resource of the built-in set, with
// the same menu shapes and the same placeholders, and the German one is really German.
#include "catalogue.h"
#include "languagelist.h"
#include "menus_en.h"
#include "resourceids.h"
#include "strings_en.h"
#include "testworld.h"

#include <QRegularExpression>
#include <QtTest>

#include <map>

namespace {
QString programFolder() {
    return qEnvironmentVariable("TARVEX_BINARY_DIR") + QStringLiteral("/bin");
}

// The placeholders of a text, in order: a translation must ask for the same arguments.
QStringList placeholders(const QString& text) {
    static const QRegularExpression kPattern(QStringLiteral("%[sd1-9%]"));
    QStringList out;
    for (const QRegularExpressionMatch& m : kPattern.globalMatch(text))
        out << m.captured();
    // "%1 ... %2" may swap places in a translation; printf-style ones may not.
    std::stable_sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        return a.at(1).isDigit() && b.at(1).isDigit() && a < b;
    });
    return out;
}

// Commands, separators and popups in the same places; the texts may differ.
QString shape(const std::vector<CMenuItem>& items) {
    QString out;
    for (const CMenuItem& item : items) {
        if (item.isSeparator())
            out += QStringLiteral("-,");
        else if (item.isPopup())
            out += QStringLiteral("[") + shape(item.items) + QStringLiteral("],");
        else
            out += QString::number(item.id) + QLatin1Char(',');
    }
    return out;
}

QChar mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toLower();
        ++i;
    }
    return {};
}

// Every list of items whose mnemonics must differ: a menu's top level and each popup.
void mnemonicClashes(const std::vector<CMenuItem>& items, const QString& where,
                     QStringList& clashes) {
    std::map<QChar, QString> seen;
    for (const CMenuItem& item : items) {
        const QChar key = mnemonic(item.text);
        if (!key.isNull()) {
            auto [it, fresh] = seen.emplace(key, item.text);
            if (!fresh)
                clashes << where + QStringLiteral(": ") + it->second + QStringLiteral(" / ") +
                               item.text;
        }
        if (item.isPopup())
            mnemonicClashes(item.items, where + QStringLiteral(" > ") + item.text, clashes);
    }
}

std::unique_ptr<CCatalogue::Source> moduleFor(const QString& language, CLanguageList& list) {
    list.Discover(programFolder(), language);
    return list.moduleSource();
}
} // namespace

class TestLanguageModules : public QObject {
    Q_OBJECT

private slots:
    void shippedModulesAreListed() {
        CLanguageList list;
        list.Discover(programFolder(), "Deutsch");
        QStringList found;
        for (const CLanguageList::Entry& e : list.entries())
            found << e.file + QLatin1Char('=') + e.language;
        QCOMPARE(found, QStringList({"tarvex-lang-de.so=Deutsch", "tarvex-lang-en.so=English"}));
        QCOMPARE(list.moduleLocale(), QStringLiteral("de"));
    }

    void coversEveryBuiltInResource_data() {
        QTest::addColumn<QString>("language");
        QTest::newRow("Deutsch") << QStringLiteral("Deutsch");
        QTest::newRow("English") << QStringLiteral("English");
    }

    // A text added to the built-in set and not to a module fails here, naming it.
    void coversEveryBuiltInResource() {
        QFETCH(QString, language);
        CLanguageList list;
        std::unique_ptr<CCatalogue::Source> module = moduleFor(language, list);
        QVERIFY(module);
        const CCatalogue::Source& builtIn = CCatalogue::instance().builtIn();
        QStringList missing;
        for (int i = 0; i < builtInStringCount(); ++i) {
            const int id = builtInStringIdAt(i);
            QString english, translated;
            builtIn.string(id, english);
            if (!module->string(id, translated) || translated.isEmpty())
                missing << QStringLiteral("string %1 \"%2\"").arg(id).arg(english);
            else if (placeholders(english) != placeholders(translated))
                missing << QStringLiteral("string %1 placeholders differ").arg(id);
            // Commands' prompt and tooltip, the document strings: fields split by line breaks.
            else if ((id >= 32768 || id == res::IDR_MAINFRAME) &&
                     english.count(QLatin1Char('\n')) != translated.count(QLatin1Char('\n')))
                missing << QStringLiteral("string %1 has other fields").arg(id);
        }
        for (const TarvexDialogTextEntry& e : builtInDialogTexts()) {
            QString translated;
            if (!module->dialogText(e.dialog, e.item, translated) || translated.isEmpty())
                missing << QStringLiteral("dialog %1 item %2 \"%3\"")
                               .arg(e.dialog)
                               .arg(e.item)
                               .arg(QString::fromUtf8(e.text));
            else if (placeholders(QString::fromUtf8(e.text)) != placeholders(translated))
                missing << QStringLiteral("dialog %1 item %2 placeholders differ")
                               .arg(e.dialog)
                               .arg(e.item);
        }
        for (int id : res::kMenuIds) {
            CMenuResource english, translated;
            QVERIFY(builtInMenu(id, english));
            if (!module->menu(id, translated))
                missing << QStringLiteral("menu %1").arg(id);
            else if (shape(english) != shape(translated))
                missing << QStringLiteral("menu %1 differs: %2 / %3")
                               .arg(id)
                               .arg(shape(english), shape(translated));
        }
        CToolBarResource englishBar, bar;
        QVERIFY(builtInToolBar(res::IDR_MAINFRAME, englishBar));
        if (!module->toolBar(res::IDR_MAINFRAME, bar) || bar.buttons != englishBar.buttons ||
            bar.bitmap != englishBar.bitmap)
            missing << QStringLiteral("toolbar");
        for (int id : res::kImageIds) {
            QImage image;
            if (!module->image(id, image) || image.size() != builtInImage(id).size())
                missing << QStringLiteral("picture %1").arg(id);
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

    void englishModuleIsTheBuiltInSet() {
        CLanguageList list;
        std::unique_ptr<CCatalogue::Source> module = moduleFor("English", list);
        QVERIFY(module);
        const CCatalogue::Source& builtIn = CCatalogue::instance().builtIn();
        for (int i = 0; i < builtInStringCount(); ++i) {
            QString a, b;
            const int id = builtInStringIdAt(i);
            builtIn.string(id, a);
            module->string(id, b);
            QCOMPARE(b, a);
        }
        for (int id : res::kMenuIds) {
            CMenuResource a, b;
            builtInMenu(id, a);
            module->menu(id, b);
            QStringList textsA, textsB;
            std::function<void(const std::vector<CMenuItem>&, QStringList&)> texts =
                [&](const std::vector<CMenuItem>& items, QStringList& out) {
                    for (const CMenuItem& item : items) {
                        out << item.text;
                        texts(item.items, out);
                    }
                };
            texts(a, textsA);
            texts(b, textsB);
            QCOMPARE(textsB, textsA);
        }
        QImage a, b;
        builtIn.image(res::IDI_TRAY_16COLOURS, a);
        module->image(res::IDI_TRAY_16COLOURS, b);
        QCOMPARE(b.convertToFormat(QImage::Format_ARGB32),
                 a.convertToFormat(QImage::Format_ARGB32));
    }

    void germanMenusHaveDistinctMnemonics() {
        CLanguageList list;
        std::unique_ptr<CCatalogue::Source> module = moduleFor("Deutsch", list);
        QVERIFY(module);
        QStringList clashes;
        for (int id : res::kMenuIds) {
            CMenuResource menu;
            QVERIFY(module->menu(id, menu));
            mnemonicClashes(menu, QStringLiteral("menu %1").arg(id), clashes);
        }
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
    }

    void mnemonicClashesAreFound() {
        CMenuResource menu{{QStringLiteral("&Datei"),
                            0,
                            {{QStringLiteral("&Neu"), 1, {}},
                             {QStringLiteral("Öffnen"), 2, {}},
                             {QStringLiteral("Speichern && &neu"), 3, {}}}}};
        QStringList clashes;
        mnemonicClashes(menu, QStringLiteral("m"), clashes);
        QCOMPARE(clashes.size(), 1);
    }

    void germanIsTranslated() {
        CLanguageList list;
        std::unique_ptr<CCatalogue::Source> module = moduleFor("Deutsch", list);
        QVERIFY(module);
        CMenuResource menu;
        QVERIFY(module->menu(res::IDR_MAINFRAME, menu));
        QStringList titles;
        for (const CMenuItem& popup : menu)
            titles << popup.text;
        QCOMPARE(titles,
                 QStringList({"&Datei", "&Ansicht", "&Mitarbeiter", "&Controller", "&Hilfe"}));
        QString text;
        QVERIFY(module->string(res::IDS_RESTART_NOTICE, text));
        QCOMPARE(text, QStringLiteral("Damit die neuen Spracheinstellungen wirksam werden,\n"
                                      "müssen Sie die Anwendung neu starten."));
        QVERIFY(module->dialogText(res::IDD_LANGUAGES, res::IDCANCEL, text));
        QCOMPARE(text, QStringLiteral("Abbrechen"));
        // Most texts differ from the English ones (names and codes may not).
        int same = 0;
        const CCatalogue::Source& builtIn = CCatalogue::instance().builtIn();
        for (int i = 0; i < builtInStringCount(); ++i) {
            QString english, german;
            builtIn.string(builtInStringIdAt(i), english);
            module->string(builtInStringIdAt(i), german);
            same += english == german;
        }
        QVERIFY2(same * 10 < builtInStringCount(), qPrintable(QString::number(same)));
    }
};

TARVEX_TEST_MAIN(TestLanguageModules)
#include "tst_languagemodules.moc"
