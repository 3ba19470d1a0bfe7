// The search for language modules: order, selection, the limit of 100 and modules that are
// broken in every way the program can notice.
#include "catalogue.h"
#include "languagelist.h"
#include "modulesource.h"
#include "resourceids.h"
#include "testworld.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString built(const QString& name) {
    return QStringLiteral(TARVEX_TEST_MODULE_DIR "/") + name + QStringLiteral(".so");
}

QStringList languagesOf(const CLanguageList& list) {
    QStringList out;
    for (const CLanguageList::Entry& e : list.entries())
        out << e.language;
    return out;
}

QStringList filesOf(const CLanguageList& list) {
    QStringList out;
    for (const CLanguageList::Entry& e : list.entries())
        out << e.file;
    return out;
}
} // namespace

class TestLanguageList : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;

    // A module built for the tests, copied into the program folder under another name.
    void place(const QString& module, const QString& as) {
        QVERIFY2(QFile::copy(built(module), m_folder->filePath(as)), qPrintable(as));
    }

private slots:
    void init() { m_folder = std::make_unique<QTemporaryDir>(); }

    void laterMatchWinsInNameOrder() {
        // Placed out of order: the listing is sorted by name, so b is found after a.
        place("named_module", "c-Other.so");
        place("named_module", "b-English.so");
        place("named_module", "a-English.so");
        CLanguageList list;
        QVERIFY(list.Discover(m_folder->path(), "English"));
        QCOMPARE(filesOf(list), QStringList({"a-English.so", "b-English.so", "c-Other.so"}));
        QCOMPARE(languagesOf(list), QStringList({"English", "English", "Other"}));
        QCOMPARE(list.count(), 3);
        QVERIFY(list.hasModule());
        QCOMPARE(list.selected(), 1);
        QCOMPARE(list.current(), QStringLiteral("English"));
    }

    void namesCompareExactly() {
        place("named_module", "a-English.so");
        CLanguageList list;
        list.Discover(m_folder->path(), "english");
        QCOMPARE(list.count(), 1);
        QVERIFY(!list.hasModule());
        QCOMPARE(list.selected(), -1);
        QVERIFY(list.moduleSource() == nullptr);
    }

    void emptyFolderHasNoModule() {
        CLanguageList list;
        QVERIFY(list.Discover(m_folder->path(), "English"));
        QCOMPARE(list.count(), 0);
        QVERIFY(!list.hasModule());
        // A folder that is not there is an empty one.
        QVERIFY(list.Discover(m_folder->filePath("missing"), "English"));
        QCOMPARE(list.count(), 0);
    }

    void atMostOneHundred() {
        for (int i = 0; i <= CLanguageList::kMaxEntries; ++i)
            place("named_module", QStringLiteral("m-%1.so").arg(i, 3, 10, QLatin1Char('0')));
        CLanguageList list;
        list.Discover(m_folder->path(), "100");
        QCOMPARE(list.count(), 100);
        QCOMPARE(list.entries().front().language, QStringLiteral("000"));
        QCOMPARE(list.entries().back().language, QStringLiteral("099"));
        // The 101st is neither listed nor selected.
        QVERIFY(!list.hasModule());

        CLanguageList again;
        again.Discover(m_folder->path(), "099");
        QCOMPARE(again.selected(), 99);
        QVERIFY(again.hasModule());
    }

    void brokenFilesAreSkipped() {
        place("not_language", "a-plain.so");
        place("null_name", "b-null.so");
        place("bad_text", "c-bad.so");
        place("no_catalogue", "d-Deutsch.so");
        place("old_version", "e-Deutsch.so");
        place("long_name", "f-long.so");
        place("named_module", "g-Deutsch.so");
        {
            QFile text(m_folder->filePath("h-text.so"));
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("not a library\n");
        }
        QVERIFY(QDir(m_folder->path()).mkdir("i-folder.so"));
        place("named_module", "j-Deutsch.so.1"); // not a *.so name

        CLanguageList list;
        list.Discover(m_folder->path(), "Deutsch");
        QCOMPARE(filesOf(list), QStringList({"f-long.so", "g-Deutsch.so"}));
        // The long name is cut before the character the bound falls into.
        const QString cut = list.entries()[0].language;
        QCOMPARE(cut, QString(127, QChar(0xE4)));
        QVERIFY(cut.toUtf8().size() <= CLanguageList::kMaxNameBytes);
        QCOMPARE(list.selected(), 1);
    }

    void languageNamesAreChecked() {
        QCOMPARE(CLanguageList::languageName(nullptr), QString());
        QCOMPARE(CLanguageList::languageName(""), QString());
        QCOMPARE(CLanguageList::languageName("Deutsch\xff"), QString());
        QCOMPARE(CLanguageList::languageName("Deu\ntsch"), QString());
        QCOMPARE(CLanguageList::languageName("Fran\xc3\xa7"
                                             "ais"),
                 QStringLiteral("Français"));
        const QByteArray longName(400, 'x');
        QCOMPARE(CLanguageList::languageName(longName.constData()).size(),
                 CLanguageList::kMaxNameBytes);
    }

    void missingResourcesStayMissing() {
        place("named_module", "a-Test.so");
        CLanguageList list;
        list.Discover(m_folder->path(), "Test");
        std::unique_ptr<CCatalogue::Source> source = list.moduleSource();
        QVERIFY(source);
        QString text;
        QVERIFY(source->string(res::IDS_IDLE_MESSAGE, text));
        QCOMPARE(text, QStringLiteral("Test ready"));
        QVERIFY(!source->string(res::IDS_OK, text)); // a null text is no text
        QVERIFY(!source->string(res::IDS_APP_TITLE, text));
        CMenuResource menu;
        QVERIFY(source->menu(res::IDR_MENU_TRAY, menu));
        QCOMPARE(menu.size(), size_t(1));
        QVERIFY(menu[0].isPopup());
        QCOMPARE(menu[0].items[0].id, res::ID_APP_EXIT);
        QVERIFY(!source->menu(res::IDR_MENU_PHOTO, menu)); // broken nesting
        QVERIFY(!source->menu(res::IDR_MENU_EMP, menu));
        CToolBarResource bar;
        QVERIFY(source->toolBar(res::IDR_MAINFRAME, bar));
        QCOMPARE(bar.buttons, std::vector<int>({res::ID_APP_EXIT}));
        QImage image;
        QVERIFY(!source->image(res::IDI_PROGRAM, image));
        QVERIFY(!source->dialogText(res::IDD_ABOUTBOX, 0, text));

        // Through the catalogue, a missing resource is an empty one.
        CCatalogue& cat = CCatalogue::instance();
        cat.setSource(std::move(source));
        QCOMPARE(S(res::IDS_APP_TITLE), QString());
        QCOMPARE(cat.commandToolTip(res::ID_FILE_NEW), QString());
        QVERIFY(cat.menu(res::IDR_MENU_REG).empty());
        QVERIFY(cat.image(res::IDB_TOOLBAR).isNull());
        cat.setSource(nullptr);
        QCOMPARE(S(res::IDS_APP_TITLE), QStringLiteral("Tarvex"));
    }

    void menusAreRebuiltFromTheirEntries() {
        const TarvexMenuEntry good[] = {
            {1, 0, 0, "&File"}, {1, 1, 10, "&New"},  {1, 1, 0, nullptr}, {1, 1, 0, "Import"},
            {1, 2, 11, "Text"}, {1, 1, 12, "E&xit"}, {1, 0, 0, "&Help"}, {1, 1, 13, "&About"}};
        CMenuResource menu;
        QVERIFY(CModuleSource::unflatten(good, int(std::size(good)), menu));
        QCOMPARE(menu.size(), size_t(2));
        QCOMPARE(menu[0].items.size(), size_t(4));
        QVERIFY(menu[0].items[1].isSeparator());
        QVERIFY(menu[0].items[2].isPopup());
        QCOMPARE(menu[0].items[2].items[0].id, 11);
        QCOMPARE(menu[0].items[3].text, QStringLiteral("E&xit"));
        QCOMPARE(menu[1].items[0].id, 13);

        // Deeper than the popup before it, below a command, or a negative depth.
        const TarvexMenuEntry tooDeep[] = {{1, 0, 0, "&File"}, {1, 2, 10, "&New"}};
        const TarvexMenuEntry underCommand[] = {{1, 0, 5, "&File"}, {1, 1, 10, "&New"}};
        const TarvexMenuEntry negative[] = {{1, -1, 0, "&File"}};
        QVERIFY(!CModuleSource::unflatten(tooDeep, 2, menu));
        QVERIFY(!CModuleSource::unflatten(underCommand, 2, menu));
        QVERIFY(!CModuleSource::unflatten(negative, 1, menu));
    }

    void brokenCountsAreIgnored() {
        const TarvexStringEntry strings[] = {{1, "one"}};
        TarvexCatalogue table{};
        table.version = TARVEX_CATALOGUE_VERSION;
        table.strings = strings;
        table.stringCount = -5;
        table.menus = nullptr;
        table.menuEntryCount = 1000;
        CModuleSource negative(table);
        QString text;
        QVERIFY(!negative.string(1, text));
        table.stringCount = 1;
        CModuleSource fine(table);
        QVERIFY(fine.string(1, text));
        QCOMPARE(text, QStringLiteral("one"));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestLanguageList)
#include "tst_languagelist.moc"
