// The settings table and the store's change signal without a window: the file's bytes, each
// row's own variable, a tool's partial write, the window-state keys and what apply() tells.
#include "appsettings.h"
#include "settingsstore.h"
#include "testworld.h"

#include <QFile>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {
std::unique_ptr<QSettings> freshStore() {
    auto s = CAppSettings::openStore();
    s->clear();
    s->sync();
    return s;
}

QByteArray fileBytes(const QSettings& store) {
    QFile f(store.fileName());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every variable of the table set apart from its default and from every other one.
CAppSettings allChanged() {
    CAppSettings v;
    v.UseMRDB = v.UsePhoto = v.ShowPhoto = v.AutoLoad = true;
    v.LangWarning = false;
    v.MRDB = QStringLiteral("DSN=reports;UID=u");
    v.PhotoDB = QStringLiteral("Driver=SQLite3;Database=/p/photos.db");
    v.PhotoTable = QStringLiteral("Pictures");
    v.PhotoLastName = QStringLiteral("Surname");
    v.PhotoFirstName = QStringLiteral("Given");
    v.PhotoMediaID = QStringLiteral("Key");
    v.PhotoPhoto = QStringLiteral("Image");
    v.RegFilePath = QStringLiteral("/var/regs");
    v.AutoLoadFile = QStringLiteral("/w/doors.VR-12");
    v.VisualStyle = 2;
    v.ImportFile = QStringLiteral("/w/staff.csv");
    v.ImportDB = QStringLiteral("DSN=hr");
    v.CodePage = QStringLiteral("windows-1250");
    v.MRDBCall = QStringLiteral("call");
    v.ReportQueueMax = 500;
    v.UnknownAlertCount = 7;
    v.UnknownAlertMinutes = 3;
    v.LinkCheckMinutes = 0;
    return v;
}

QStringList names() {
    QStringList out;
    for (const CSettingDescriptor& d : CAppSettings::descriptors())
        out << QLatin1String(d.name);
    return out;
}
} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    // The file a run leaves is the one earlier runs left: same keys, same value forms, and
    // SaveSettings' order of values.
    void theFileKeepsItsBytes() {
        auto s = freshStore();
        allChanged().save(*s);
        QCOMPARE(fileBytes(*s), QByteArray("[Settings]\n"
                                           "AutoLoad=1\n"
                                           "AutoLoadFile=/w/doors.VR-12\n"
                                           "CodePage=windows-1250\n"
                                           "ImportDB=\"DSN=hr\"\n"
                                           "ImportFile=/w/staff.csv\n"
                                           "LangWarning=0\n"
                                           "LinkCheckMinutes=0\n"
                                           "MRDB=\"DSN=reports;UID=u\"\n"
                                           "MRDBCall=call\n"
                                           "PhotoDB=\"Driver=SQLite3;Database=/p/photos.db\"\n"
                                           "PhotoFirstName=Given\n"
                                           "PhotoLastName=Surname\n"
                                           "PhotoMediaID=Key\n"
                                           "PhotoPhoto=Image\n"
                                           "PhotoTable=Pictures\n"
                                           "RegFilePath=/var/regs\n"
                                           "ReportQueueMax=500\n"
                                           "ShowPhoto=1\n"
                                           "UnknownAlertCount=7\n"
                                           "UnknownAlertMinutes=3\n"
                                           "UseMRDB=1\n"
                                           "UsePhoto=1\n"
                                           "VisualStyle=2\n"));
        const QStringList order = {"UseMRDB",           "MRDB",
                                   "UsePhoto",          "PhotoDB",
                                   "PhotoTable",        "PhotoLastName",
                                   "PhotoFirstName",    "PhotoMediaID",
                                   "PhotoPhoto",        "ShowPhoto",
                                   "RegFilePath",       "AutoLoad",
                                   "AutoLoadFile",      "VisualStyle",
                                   "ImportFile",        "ImportDB",
                                   "LangWarning",       "CodePage",
                                   "MRDBCall",          "ReportQueueMax",
                                   "UnknownAlertCount", "UnknownAlertMinutes",
                                   "LinkCheckMinutes"};
        QCOMPARE(names(), order);
    }

    // A row that names one variable and holds another would load, save and copy the wrong
    // value: each row moves its own variable and nothing else.
    void everyRowHoldsItsOwnVariable() {
        const CAppSettings changed = allChanged();
        const CAppSettings defaults;
        const QStringList all = names();
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), all.size());
        for (const CSettingDescriptor& row : CAppSettings::descriptors()) {
            CAppSettings v;
            v.copyFrom(changed, {QLatin1String(row.name)});
            const auto after = v.values();
            const auto before = defaults.values();
            for (size_t i = 0; i < after.size(); ++i) {
                const bool own = after[i].first == QLatin1String(row.name);
                QVERIFY2((after[i].second != before[i].second) == own,
                         qPrintable(QLatin1String(row.name) + QStringLiteral(" moved ") +
                                    after[i].first));
            }
            // And it reads back into its own variable.
            auto s = freshStore();
            changed.save(*s, {QLatin1String(row.name)});
            CAppSettings read;
            row.read(*s, read, QStringLiteral("/program"));
            QCOMPARE(row.storedForm(read), row.storedForm(changed));
        }
    }

    // The photo demo's tool sets up the photo values and leaves the user's others alone.
    void aToolWritesOnlyTheValuesItNames() {
        auto s = freshStore();
        s->setValue(QStringLiteral("Settings/MRDB"), QStringLiteral("DSN=keep"));
        s->setValue(QStringLiteral("Settings/Language"), QStringLiteral("Deutsch"));
        const CAppSettings photos = allChanged();
        photos.save(*s, {QStringLiteral("UsePhoto"), QStringLiteral("PhotoTable")});
        QSettings raw(s->fileName(), QSettings::IniFormat);
        QCOMPARE(raw.allKeys().size(), 4);
        QCOMPARE(raw.value(QStringLiteral("Settings/MRDB")).toString(), QStringLiteral("DSN=keep"));
        QCOMPARE(raw.value(QStringLiteral("Settings/UsePhoto")).toString(), QStringLiteral("1"));
        QCOMPARE(raw.value(QStringLiteral("Settings/PhotoTable")).toString(),
                 QStringLiteral("Pictures"));
        QCOMPARE(CAppSettings::readLanguage(raw, QStringLiteral("English")),
                 QStringLiteral("Deutsch"));
    }

    void languageAndWindowStateKeys() {
        auto s = freshStore();
        QCOMPARE(CAppSettings::readLanguage(*s, QStringLiteral("English")),
                 QStringLiteral("English"));
        CAppSettings::writeLanguage(*s, QStringLiteral("Deutsch"));
        QCOMPARE(s->value(QStringLiteral("Settings/Language")).toString(),
                 QStringLiteral("Deutsch"));

        using W = CStoredWindowState::Window;
        const CStoredWindowState none = CStoredWindowState::read(*s, W::Main);
        QVERIFY(none.bars.isEmpty() && none.placement.isEmpty() && !none.statusBar);
        CStoredWindowState::write(*s, W::Main, "bars", false, QByteArray("place"));
        CStoredWindowState::write(*s, W::Photo, "photo bars", true, QByteArray("photo place"));
        QCOMPARE(s->value(QStringLiteral("Bars/State")).toByteArray(), QByteArray("bars"));
        QCOMPARE(s->value(QStringLiteral("Bars/StatusBar")).toInt(), 0);
        QCOMPARE(s->value(QStringLiteral("Settings/Placement")).toByteArray(), QByteArray("place"));
        QCOMPARE(s->value(QStringLiteral("BarsPhoto/State")).toByteArray(),
                 QByteArray("photo bars"));
        QCOMPARE(s->value(QStringLiteral("BarsPhoto/StatusBar")).toInt(), 1);
        QCOMPARE(s->value(QStringLiteral("Settings/PlacementPhoto")).toByteArray(),
                 QByteArray("photo place"));
        // A window never shown keeps the place stored by an earlier run.
        CStoredWindowState::write(*s, W::Photo, "again", false, std::nullopt);
        const CStoredWindowState photo = CStoredWindowState::read(*s, W::Photo);
        QCOMPARE(photo.bars, QByteArray("again"));
        QCOMPARE(photo.statusBar, std::optional<bool>(false));
        QCOMPARE(photo.placement, QByteArray("photo place"));
    }

    // apply() takes over what it is given and tells it, also a value that stays as it was;
    // the others stay.
    void applyTakesOverAndTells() {
        CAppSettings values;
        values.MRDB = QStringLiteral("DSN=old");
        CSettingsStore store(values);
        QSignalSpy told(&store, &CSettingsStore::changed);
        CAppSettings edited = allChanged();
        edited.MRDB = QStringLiteral("DSN=old");
        store.apply(edited, {QStringLiteral("MRDB"), QStringLiteral("VisualStyle")});
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.at(0).at(0).toStringList(),
                 QStringList({QStringLiteral("MRDB"), QStringLiteral("VisualStyle")}));
        QCOMPARE(values.VisualStyle, 2);
        QCOMPARE(values.MRDB, QStringLiteral("DSN=old"));
        QVERIFY(!values.UseMRDB);
        QVERIFY(values.PhotoTable.isEmpty());
        QVERIFY(CSettingsStore::anyOf(told.at(0).at(0).toStringList(), {"UseMRDB", "MRDB"}));
        QVERIFY(!CSettingsStore::anyOf(told.at(0).at(0).toStringList(), {"UsePhoto"}));
    }
};

TARVEX_TEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
