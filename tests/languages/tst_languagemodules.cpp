// The language modules the program ships: the English one hands on the built-in set, the German
// one covers every resource of it with the same menu shapes and placeholders, reaches every
// menu item by its own mnemonic, and is really German.
#include "catalogue.h"
#include "commandmanager.h"
#include "languagelist.h"
#include "menus_en.h"
#include "resourceids.h"
#include "strings_en.h"
#include "testworld.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
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

// The key of a menu text's mnemonic as the toolkit reads it (0: none).
int mnemonicKey(const QString& text) {
    const QKeySequence key = QKeySequence::mnemonic(text);
    return key.isEmpty() ? 0 : key[0].key();
}

// Every list of items whose mnemonics must differ: a menu's top level and each popup.
void mnemonicClashes(const std::vector<CMenuItem>& items, const QString& where,
                     QStringList& clashes) {
    std::map<int, QString> seen;
    for (const CMenuItem& item : items) {
        if (const int key = mnemonicKey(item.text)) {
            auto [it, fresh] = seen.emplace(key, item.text);
            if (!fresh)
                clashes << where + QStringLiteral(": ") + it->second + QStringLiteral(" / ") +
                               item.text;
        }
        if (item.isPopup())
            mnemonicClashes(item.items, where + QStringLiteral(" > ") + item.text, clashes);
    }
}

// The same for menus as the program builds them, action by action.
void mnemonicClashes(const QMenu* menu, const QString& where, QStringList& clashes) {
    std::map<int, QString> seen;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        if (const int key = mnemonicKey(action->text())) {
            auto [it, fresh] = seen.emplace(key, action->text());
            if (!fresh)
                clashes << where + QStringLiteral(": ") + it->second + QStringLiteral(" / ") +
                               action->text();
        }
        if (action->menu())
            mnemonicClashes(action->menu(), where + QStringLiteral(" > ") + action->text(),
                            clashes);
    }
}

// A menu's texts in order, popups followed by their items, separators as "-".
QStringList menuTexts(const std::vector<CMenuItem>& items) {
    QStringList out;
    for (const CMenuItem& item : items) {
        out << (item.isSeparator() ? QStringLiteral("-") : item.text);
        if (item.isPopup())
            out << menuTexts(item.items);
    }
    return out;
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
        // The English module hands on the built-in set itself, so only the translations can
        // miss something.
        QTest::newRow("Deutsch") << QStringLiteral("Deutsch");
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

    // What the English module hands the program once loaded, written out by hand: texts with
    // their line breaks and placeholders, a menu with a nested popup, dialog texts, a picture.
    void englishModuleIsTheBuiltInSet() {
        CLanguageList list;
        std::unique_ptr<CCatalogue::Source> module = moduleFor("English", list);
        QVERIFY(module);
        QCOMPARE(list.moduleLocale(), QString());
        const std::pair<int, const char*> strings[] = {
            {res::IDS_ERROR_CODE, "Error %d"},
            {res::IDS_IMPORT_TOTALS, "Total found: %d\nImported: %d"},
            {res::IDR_MAINFRAME, "Tarvex\nNew\nTarvex\nTarvex Files (*.VR-12)\n.VR-12\n"
                                 "Tarvex.Document\nTarvex Document"},
            {res::ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
            {res::IDS_LINK_CANNOT_BE_MADE,
             "The controller link cannot be made: %1 (folder searched: %2, file expected: %3). "
             "The controllers stay without a link."}};
        for (const auto& [id, text] : strings) {
            QString found;
            QVERIFY2(module->string(id, found), qPrintable(QString::number(id)));
            QCOMPARE(found, QString::fromLatin1(text));
        }

        CMenuResource menu;
        QVERIFY(module->menu(res::IDR_MAINFRAME, menu));
        QCOMPARE(menu.size(), size_t(5));
        QCOMPARE(menuTexts({menu.front()}),
                 QStringList({"&File", "&New", "&Open...", "&Save", "Save &As...", "-", "Import",
                              "Import employees from &txt file", "Import employees from &database",
                              "-", "Recent files", "-", "E&xit"}));
        QCOMPARE(menu.front().items.at(5).items.size(), size_t(2)); // the Import popup
        QCOMPARE(menu.front().items.at(5).items.at(1).id, res::ID_FILE_IMPORT_DB);
        QCOMPARE(menu.back().text, QStringLiteral("&Help"));
        QVERIFY(module->menu(res::IDR_MENU_TRAY, menu));
        QCOMPARE(menuTexts(menu),
                 QStringList({"Tray", "&About Tarvex...", "-", "&Restore main window", "A&lerts...",
                              "-", "E&xit"}));

        QString text;
        QVERIFY(module->dialogText(res::IDD_LANGWARNING, 0, text));
        QCOMPARE(text, QStringLiteral("Warning"));
        QVERIFY(module->dialogText(res::IDD_LANGWARNING, res::IDC_LANG_SHOWAGAIN, text));
        QCOMPARE(text, QStringLiteral("Show this warning again"));
        QVERIFY(module->dialogText(res::IDD_IMPORT_TXT_FINISH, res::IDC_IMPORT_PROCEED, text));
        QCOMPARE(text,
                 QStringLiteral("If you wish to proceed using these settings, click Finish."));

        // Pictures travel through the module as PNG and come back pixel for pixel.
        const CCatalogue::Source& builtIn = CCatalogue::instance().builtIn();
        QImage a, b;
        builtIn.image(res::IDI_TRAY_16COLOURS, a);
        QVERIFY(module->image(res::IDI_TRAY_16COLOURS, b));
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

    // The menus as the program builds them from the German module: the menu bar and every
    // context menu, with the mnemonics the toolkit answers to.
    void germanMenusAsShownHaveDistinctMnemonics() {
        CLanguageList list;
        std::unique_ptr<CCatalogue::Source> module = moduleFor("Deutsch", list);
        QVERIFY(module);
        CCatalogue::instance().setSource(std::move(module));
        QWidget window;
        CCommandManager commands(&window);
        QMenuBar bar(&window);
        commands.fillMenuBar(&bar, res::IDR_MAINFRAME);
        QStringList clashes, titles;
        std::map<int, QString> barKeys;
        for (QAction* popup : bar.actions()) {
            titles << popup->text();
            if (const int key = mnemonicKey(popup->text());
                !barKeys.emplace(key, popup->text()).second)
                clashes << QStringLiteral("menu bar: ") + popup->text();
            mnemonicClashes(popup->menu(), popup->text(), clashes);
        }
        for (int id : {res::IDR_MENU_EMP, res::IDR_MENU_TERM, res::IDR_MENU_TERMEMP,
                       res::IDR_MENU_REG, res::IDR_MENU_TRAY}) {
            std::unique_ptr<QMenu> menu(commands.createPopup(id, 0, &window));
            QVERIFY(menu);
            mnemonicClashes(menu.get(), QStringLiteral("menu %1").arg(id), clashes);
        }
        CCatalogue::instance().setSource(nullptr);
        QCOMPARE(titles,
                 QStringList({"&Datei", "&Ansicht", "&Mitarbeiter", "&Controller", "&Hilfe"}));
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
    }

    // Texts as a German reader expects them, among them the ones that once read stilted.
    void germanWording_data() {
        QTest::addColumn<int>("dialog"); // 0: a string resource
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("totals") << 0 << int(res::IDS_IMPORT_TOTALS)
                                << QStringLiteral("Insgesamt gefunden: %d\nImportiert: %d");
        QTest::newRow("exit")
            << 0 << int(res::ID_APP_EXIT)
            << QStringLiteral(
                   "Beendet die Anwendung und fragt, ob Dokumente gespeichert werden sollen\n"
                   "Beenden");
        QTest::newRow("no member") << 0 << int(res::IDS_LINK_NO_MEMBER)
                                   << QStringLiteral("das Steuerelement hat kein Element mit "
                                                     "diesem Namen");
        QTest::newRow("photo window")
            << 0 << int(res::IDR_MENU_PHOTO) << QStringLiteral("Tarvex-Foto");
        QTest::newRow("card") << 0 << int(res::IDS_MEDIA_RFCARD) << QStringLiteral("RFID-Karte");
        QTest::newRow("card button") << int(res::IDD_IMPORT_TXT_COLUMNS) << int(res::IDC_IMPORT_RF)
                                     << QStringLiteral("&RFID-Karte");
        QTest::newRow("not in database")
            << 0 << int(res::ID_TERM_SELNOTINDB)
            << QStringLiteral("Wählt die Mitarbeiter aus, die nicht in der Datenbank sind\n"
                              "Mitarbeiter nicht in der Datenbank auswählen");
        QTest::newRow("copy to database")
            << 0 << int(res::ID_TERM_COPYTODB)
            << QStringLiteral("Kopiert die ausgewählten Mitarbeiter in die Datenbank\n"
                              "In die Datenbank kopieren");
        QTest::newRow("connection parameters") << int(res::IDD_DATALINK) << int(res::IDC_DL_EXTRAS)
                                               << QStringLiteral("&Weitere Parameter");
        QTest::newRow("parameter column")
            << int(res::IDD_DATALINK) << int(res::IDC_DL_EXTRA_KEY) << QStringLiteral("Parameter");
        QTest::newRow("warning again") << int(res::IDD_LANGWARNING) << int(res::IDC_LANG_SHOWAGAIN)
                                       << QStringLiteral("Diese Warnung weiterhin anzeigen");
        QTest::newRow("finish") << int(res::IDD_IMPORT_DB_FINISH) << int(res::IDC_IMPORT_PROCEED)
                                << QStringLiteral("Um mit diesen Einstellungen fortzufahren, "
                                                  "klicken Sie auf „Abschließen“.");
    }
    void germanWording() {
        QFETCH(int, dialog);
        QFETCH(int, id);
        QFETCH(QString, text);
        CLanguageList list;
        std::unique_ptr<CCatalogue::Source> module = moduleFor("Deutsch", list);
        QVERIFY(module);
        QString found;
        QVERIFY(dialog ? module->dialogText(dialog, id, found) : module->string(id, found));
        QCOMPARE(found, text);
    }

    void germanMenusNameTheirObjects() {
        CLanguageList list;
        std::unique_ptr<CCatalogue::Source> module = moduleFor("Deutsch", list);
        QVERIFY(module);
        CMenuResource menu;
        QVERIFY(module->menu(res::IDR_MENU_TERMEMP, menu));
        QCOMPARE(
            menuTexts(menu),
            QStringList({"Mitarbeiter im Controller", "Aus der ID-Tabelle &entfernen",
                         "ID-Tabelle lee&ren", "-", "Mitarbeiter nicht in der &Datenbank auswählen",
                         "In die Datenbank &kopieren", "-",
                         "&MediaID in die Zwischenablage kopieren"}));
    }

    // German quotation marks, „so“, and never the typewriter's straight ones.
    void germanQuotationMarks() {
        CLanguageList list;
        std::unique_ptr<CCatalogue::Source> module = moduleFor("Deutsch", list);
        QVERIFY(module);
        QStringList texts;
        for (int i = 0; i < builtInStringCount(); ++i) {
            QString text;
            module->string(builtInStringIdAt(i), text);
            texts << text;
        }
        for (const TarvexDialogTextEntry& e : builtInDialogTexts()) {
            QString text;
            module->dialogText(e.dialog, e.item, text);
            texts << text;
        }
        for (int id : res::kMenuIds) {
            CMenuResource menu;
            module->menu(id, menu);
            texts << menuTexts(menu);
        }
        int quoted = 0;
        QStringList wrong;
        for (const QString& text : texts) {
            static const QRegularExpression kPair(QStringLiteral("„[^„“\"]+“"));
            QString rest = text;
            quoted += int(rest.count(kPair));
            rest.remove(kPair);
            if (rest.contains(QLatin1Char('"')) || rest.contains(QChar(0x201E)) ||
                rest.contains(QChar(0x201C)))
                wrong << text;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
        // The wizards' buttons (three per wizard), a folder, and the media forms' four.
        QCOMPARE(quoted, 11);
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
