// Languages in the running program: the module chosen at start-up supplies every text, the
// warning when none matches, and the Languages command that picks the next start's language.
#include "appsettings.h"
#include "catalogue.h"
#include "cmdui.h"
#include "languagesdlg.h"
#include "langwarningdlg.h"
#include "mainframe.h"
#include "resourceids.h"
#include "scriptedprompts.h"
#include "tarvexapp.h"
#include "testapp.h"
#include "testworld.h"
#include "wizardparts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QWizard>
#include <QtTest>

#include <functional>
#include <optional>

namespace {
// The prompts of the application, with the language warning and notices recorded.
class LanguagePrompts : public ScriptedPrompts {
public:
    QList<bool> warningsShown;
    std::optional<bool> warningAnswer;
    QStringList notices;

    std::optional<bool> languageWarning(bool showAgain) override {
        warningsShown << showAgain;
        return warningAnswer;
    }
    void information(const QString& text) override { notices << text; }
};

QString shipped(const QString& file) {
    return qEnvironmentVariable("TARVEX_BINARY_DIR") + QStringLiteral("/bin/") + file;
}

QString testModule(const QString& name) {
    return QStringLiteral(TARVEX_TEST_MODULE_DIR "/") + name + QStringLiteral(".so");
}

// Runs `act` on the modal dialog of type T once it is open.
template <typename T> void whenOpen(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}
} // namespace

class TestLanguages : public QObject {
    Q_OBJECT

    LanguagePrompts prompts;

    QString programFolder() { return TestWorld::instance()->path(QStringLiteral("program")); }

    void setStored(const QString& name, const QVariant& value) {
        auto s = CAppSettings::openStore();
        s->setValue(name, value);
        s->sync();
    }
    QVariant stored(const QString& name) { return CAppSettings::openStore()->value(name); }

    void install(const QString& from, const QString& as) {
        QVERIFY2(QFile::copy(from, programFolder() + QLatin1Char('/') + as), qPrintable(as));
    }

    std::unique_ptr<CTarvexApp> start() {
        auto app = makeTestApp(programFolder(), prompts);
        if (!app->InitInstance())
            return nullptr;
        return app;
    }

    void finish(std::unique_ptr<CTarvexApp> app) {
        app->Exit();
        QTRY_VERIFY(app->mainFrame() == nullptr);
        app->ExitInstance();
    }

    bool languagesEnabled(CTarvexApp& app) {
        return app.mainFrame()->commands().query(res::ID_VIEW_LANGUAGES).enabled();
    }

    QStringList menuTitles(CTarvexApp& app) {
        QStringList out;
        for (QAction* a : app.mainFrame()->menuBar()->actions())
            out << a->text();
        return out;
    }

private slots:
    void init() {
        QDir(programFolder()).removeRecursively();
        QDir().mkpath(programFolder());
        auto s = CAppSettings::openStore();
        s->clear();
        s->sync();
        prompts = LanguagePrompts();
    }

    void warnsWhenNoModuleMatches() {
        prompts.warningAnswer = false; // "Show this warning again" cleared, OK
        auto app = start();
        QVERIFY(app);
        QCOMPARE(prompts.warningsShown, QList<bool>({true}));
        QVERIFY(!CAppSettings::instance().LangWarning);
        QVERIFY(!languagesEnabled(*app));
        QCOMPARE(menuTitles(*app).first(), QStringLiteral("&File"));
        finish(std::move(app));
        QCOMPARE(stored("Settings/LangWarning").toInt(), 0);

        // Off: the next start warns no more.
        app = start();
        QVERIFY(app);
        QCOMPARE(prompts.warningsShown.size(), 1);
        finish(std::move(app));
    }

    void warningClosedOtherwiseChangesNothing() {
        install(shipped("tarvex-lang-de.so"), "tarvex-lang-de.so");
        setStored("Settings/Language", "deutsch"); // letter case counts
        auto app = start();
        QVERIFY(app);
        QCOMPARE(prompts.warningsShown, QList<bool>({true}));
        QVERIFY(CAppSettings::instance().LangWarning);
        QVERIFY(languagesEnabled(*app)); // a module was found, none chosen
        QCOMPARE(menuTitles(*app).first(), QStringLiteral("&File"));
        finish(std::move(app));
        QCOMPARE(stored("Settings/LangWarning").toInt(), 1);
    }

    void chosenModuleSuppliesEveryText() {
        install(shipped("tarvex-lang-de.so"), "tarvex-lang-de.so");
        install(shipped("tarvex-lang-en.so"), "tarvex-lang-en.so");
        setStored("Settings/Language", "Deutsch");
        auto app = start();
        QVERIFY(app);
        QVERIFY(prompts.warningsShown.isEmpty());
        QCOMPARE(app->languageList().selected(), 0);
        QCOMPARE(menuTitles(*app),
                 QStringList({"&Datei", "&Ansicht", "&Mitarbeiter", "&Controller", "&Hilfe"}));
        QCOMPARE(app->mainFrame()->commands().action(res::ID_FILE_OPEN)->toolTip(),
                 QStringLiteral("Öffnen"));
        QCOMPARE(app->mainFrame()->windowTitle(), QStringLiteral("Neu - Tarvex"));
        QVERIFY(!CCatalogue::instance().image(res::IDB_TOOLBAR).isNull());
        // The toolkit's own texts follow, where it has a translation.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"),
                 QStringLiteral("Abbrechen"));
        QVERIFY(languagesEnabled(*app));
        finish(std::move(app));
        app.reset();
        // The module is gone with the application, and its resources with it.
        QCOMPARE(S(res::IDS_IDLE_MESSAGE), QStringLiteral("Ready"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }

    // The wizards' pages tell the user which button to click: in German, by the names the
    // toolkit's translation gives those buttons.
    void germanWizardPagesNameTheirButtons() {
        install(shipped("tarvex-lang-de.so"), "tarvex-lang-de.so");
        setStored("Settings/Language", "Deutsch");
        auto app = start();
        QVERIFY(app);
        QWizard wizard;
        importwizard::applyLook(&wizard, res::IDS_IMPORT_TXT_CAPTION);
        QStringList buttons;
        for (QWizard::WizardButton b :
             {QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton})
            buttons << wizard.buttonText(b)
                           .remove(QLatin1Char('&'))
                           .remove(QLatin1Char('<'))
                           .remove(QLatin1Char('>'))
                           .trimmed();
        QCOMPARE(buttons, QStringList({"Zurück", "Weiter", "Abschließen"}));
        static const QRegularExpression kNamed(QStringLiteral("„([^“]+)“"));
        QStringList named;
        for (const auto& [dialog, item] :
             {std::pair(res::IDD_IMPORT_TXT_WELCOME, res::IDC_IMPORT_CONTINUE),
              std::pair(res::IDD_IMPORT_TXT_FINISH, res::IDC_IMPORT_PROCEED),
              std::pair(res::IDD_IMPORT_TXT_FINISH, res::IDC_IMPORT_GOBACK),
              std::pair(res::IDD_IMPORT_DB_WELCOME, res::IDC_IMPORT_CONTINUE),
              std::pair(res::IDD_IMPORT_DB_FINISH, res::IDC_IMPORT_PROCEED),
              std::pair(res::IDD_IMPORT_DB_FINISH, res::IDC_IMPORT_GOBACK)}) {
            const QString text = CCatalogue::instance().dialogText(dialog, item);
            const QRegularExpressionMatch m = kNamed.match(text);
            QVERIFY2(m.hasMatch(), qPrintable(text));
            QVERIFY2(buttons.contains(m.captured(1)), qPrintable(text));
            named << m.captured(1);
        }
        QCOMPARE(named, QStringList({"Weiter", "Abschließen", "Zurück", "Weiter", "Abschließen",
                                     "Zurück"}));
        finish(std::move(app));
    }

    void missingResourcesStartNonetheless() {
        install(testModule("named_module"), "a-Test.so");
        setStored("Settings/Language", "Test");
        auto app = start();
        QVERIFY(app);
        QVERIFY(prompts.warningsShown.isEmpty());
        QCOMPARE(S(res::IDS_IDLE_MESSAGE), QStringLiteral("Test ready"));
        QCOMPARE(S(res::IDS_APP_TITLE), QString());
        QCOMPARE(menuTitles(*app), QStringList({"&File"}));
        QVERIFY(app->mainFrame()->isVisible());
        // A context menu the module lacks does not open.
        QCOMPARE(app->mainFrame()->commands().trackPopupMenu(res::IDR_MENU_EMP, QPoint(), nullptr),
                 0);
        QVERIFY(app->mainFrame()->commands().createPopup(res::IDR_MENU_PHOTO, 0, nullptr) ==
                nullptr);
        finish(std::move(app));
    }

    // Listed, chosen, but gone when loaded for good: English, and the warning.
    void moduleFailingTheSecondLoadIsNotUsed() {
        install(testModule("once_only"), "a-Once.so");
        setStored("Settings/Language", "Once");
        auto app = start();
        QVERIFY(app);
        QCOMPARE(app->languageList().count(), 1);
        QVERIFY(!app->languageList().hasModule());
        QCOMPARE(prompts.warningsShown, QList<bool>({true}));
        QCOMPARE(menuTitles(*app).first(), QStringLiteral("&File"));
        finish(std::move(app));
    }

    // Without its main menu the main window cannot be made: the start ends, in order.
    void missingMainMenuEndsTheStart() {
        install(testModule("long_name"), "z-long.so");
        setStored("Settings/Language", QString(127, QChar(0xE4)));
        auto app = makeTestApp(programFolder(), prompts);
        QVERIFY(!app->InitInstance());
        QVERIFY(prompts.warningsShown.isEmpty());
        QCOMPARE(app->languageList().selected(), 0);
        app->ExitInstance();
        QVERIFY(app->mainFrame() == nullptr);
    }

    // No "Language" stored: the English module is chosen at start-up, while the dialog, whose
    // own default is empty, offers the first entry and counts OK on it as a change.
    void languagesCommandWritesTheNextLanguage() {
        install(shipped("tarvex-lang-en.so"), "tarvex-lang-en.so");
        install(shipped("tarvex-lang-de.so"), "tarvex-lang-de.so");
        auto app = start();
        QVERIFY(app);
        QVERIFY(prompts.warningsShown.isEmpty());
        QCOMPARE(app->languageList().entries()[size_t(app->languageList().selected())].language,
                 QStringLiteral("English"));
        CCommandManager& commands = app->mainFrame()->commands();

        QStringList listed;
        int preselected = -2;
        whenOpen<CLanguagesDlg>([&](CLanguagesDlg* dlg) {
            for (int i = 0; i < dlg->list()->count(); ++i)
                listed << dlg->list()->item(i)->text();
            preselected = dlg->list()->currentRow();
            QVERIFY(dlg->warnBox()->isChecked());
            dlg->findChild<QPushButton*>("ok")->click();
        });
        QVERIFY(commands.execute(res::ID_VIEW_LANGUAGES));
        QCOMPARE(listed, QStringList({"Deutsch", "English"}));
        QCOMPARE(preselected, 0);
        QCOMPARE(stored("Settings/Language").toString(), QStringLiteral("Deutsch"));
        QCOMPARE(prompts.notices,
                 QStringList({"In order for new language settings to take effect,\n"
                              "you need to restart the application."}));

        // The stored one again: written, but no restart is needed.
        whenOpen<CLanguagesDlg>([&](CLanguagesDlg* dlg) {
            preselected = dlg->list()->currentRow();
            dlg->accept();
        });
        QVERIFY(commands.execute(res::ID_VIEW_LANGUAGES));
        QCOMPARE(preselected, 0);
        QCOMPARE(prompts.notices.size(), 1);

        // Cancel keeps both the language and the warning flag.
        whenOpen<CLanguagesDlg>([&](CLanguagesDlg* dlg) {
            dlg->list()->setCurrentRow(1);
            dlg->warnBox()->setChecked(false);
            dlg->findChild<QPushButton*>("cancel")->click();
        });
        QVERIFY(commands.execute(res::ID_VIEW_LANGUAGES));
        QCOMPARE(stored("Settings/Language").toString(), QStringLiteral("Deutsch"));
        QVERIFY(CAppSettings::instance().LangWarning);
        QCOMPARE(prompts.notices.size(), 1);

        // English, and no more warnings: the flag follows the box and is saved at exit.
        whenOpen<CLanguagesDlg>([&](CLanguagesDlg* dlg) {
            dlg->list()->setCurrentRow(1);
            dlg->warnBox()->setChecked(false);
            dlg->accept();
        });
        QVERIFY(commands.execute(res::ID_VIEW_LANGUAGES));
        QCOMPARE(stored("Settings/Language").toString(), QStringLiteral("English"));
        QVERIFY(!CAppSettings::instance().LangWarning);
        QCOMPARE(prompts.notices.size(), 2);
        finish(std::move(app));
        QCOMPARE(stored("Settings/LangWarning").toInt(), 0);

        // Turned on again from the dialog.
        app = start();
        QVERIFY(app);
        whenOpen<CLanguagesDlg>([&](CLanguagesDlg* dlg) {
            QVERIFY(!dlg->warnBox()->isChecked());
            QCOMPARE(dlg->list()->currentRow(), 1);
            dlg->warnBox()->setChecked(true);
            dlg->accept();
        });
        QVERIFY(app->mainFrame()->commands().execute(res::ID_VIEW_LANGUAGES));
        QVERIFY(CAppSettings::instance().LangWarning);
        QCOMPARE(prompts.notices.size(), 2);
        finish(std::move(app));
        QCOMPARE(stored("Settings/LangWarning").toInt(), 1);
    }

    void warningDialogAnswersOnlyThroughOk() {
        {
            CLangWarningDlg dlg(true);
            QCOMPARE(dlg.windowTitle(), QStringLiteral("Warning"));
            QCOMPARE(dlg.findChild<QLabel*>("text")->text(),
                     QStringLiteral("No default language found or no language libraries "
                                    "found. Using English."));
            QCOMPARE(dlg.showAgainBox()->text(), QStringLiteral("Show this warning again"));
            QVERIFY(dlg.showAgainBox()->isChecked());
            QVERIFY(!dlg.findChild<QLabel*>("icon")->pixmap().isNull());
            QCOMPARE(dlg.findChild<QDialogButtonBox*>()->buttons().size(), 1);
        }
        CDialogPrompts dialogs;
        whenOpen<CLangWarningDlg>([](CLangWarningDlg* dlg) {
            dlg->showAgainBox()->setChecked(false);
            dlg->findChild<QPushButton*>("ok")->click();
        });
        QCOMPARE(dialogs.languageWarning(true), std::optional<bool>(false));
        whenOpen<CLangWarningDlg>([](CLangWarningDlg* dlg) {
            dlg->showAgainBox()->setChecked(false);
            dlg->reject(); // Escape or the close box
        });
        QCOMPARE(dialogs.languageWarning(true), std::optional<bool>());
    }
};

TARVEX_TEST_MAIN(TestLanguages)
#include "tst_languages.moc"
