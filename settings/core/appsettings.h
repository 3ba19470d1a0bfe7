#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <variant>
#include <vector>

class QSettings;
struct CSettingDescriptor;

// The program-wide settings variables of section "Settings", with their store. Flags are read
// as on only when the stored number is exactly 1 (AutoLoad: when it is not 0) and written as
// 1 or 0. Each value is one row of the table in appsettings.cpp: its name, section, default and
// stored form; load, save and copying go through that table.
class CAppSettings {
public:
    static constexpr int kVisualStyles = 3;

    bool UseMRDB = false;
    QString MRDB;
    bool UsePhoto = false;
    QString PhotoDB;
    QString PhotoTable;
    QString PhotoLastName;
    QString PhotoFirstName;
    QString PhotoMediaID;
    QString PhotoPhoto;
    bool ShowPhoto = false;
    QString RegFilePath;
    bool AutoLoad = false;
    QString AutoLoadFile;
    int VisualStyle = 0;
    QString ImportFile;
    QString ImportDB;
    bool LangWarning = true;
    // Empty unless the user chose one: then the code page follows the locale's language each
    // run (CCodePage resolves it), the way Windows follows the system locale.
    QString CodePage;
    // How the reporting command reaches the database: "exec" (the procedure call as text) or
    // "call" (the ODBC call escape with bound values).
    QString MRDBCall = QStringLiteral("exec");
    // Entries the report queue may hold before it turns new ones away.
    int ReportQueueMax = 100000;
    // So many registrations of unknown media at one controller within so many minutes raise an
    // alert (someone trying keys at a door).
    int UnknownAlertCount = 5;
    int UnknownAlertMinutes = 2;
    // After so many minutes without a registration or an answer a controller is asked for its
    // status; 0: never.
    int LinkCheckMinutes = 10;

    // "TarvexRegs-%Y-%m.txt" of the start; never recomputed while the program runs.
    QString MonthlyFileName;

    // The program-wide instance.
    static CAppSettings& instance();

    // The per-user store: organisation "Brindlo", application "Tarvex".
    static std::unique_ptr<QSettings> openStore();

    // Every value of the table, in the order SaveSettings writes them.
    static std::span<const CSettingDescriptor> descriptors();
    // The row of `name`; nullptr when the table has none.
    static const CSettingDescriptor* descriptor(const QString& name);

    // Reads LangWarning only (start-up reads it before the language module is chosen).
    static bool readLangWarning(QSettings& store);
    // Reads every value except LangWarning; regFileDefault is RegFilePath's default.
    void load(QSettings& store, const QString& regFileDefault);
    // Writes values() in order.
    void save(QSettings& store) const;
    // Writes only the values named, in the table's order (a tool that sets up a few).
    void save(QSettings& store, const QStringList& names) const;
    // The values SaveSettings writes, in its fixed order (LangWarning included, then CodePage,
    // MRDBCall, ReportQueueMax, UnknownAlertCount, UnknownAlertMinutes and LinkCheckMinutes); flags
    // as 1 or 0.
    std::vector<std::pair<QString, QVariant>> values() const;
    // Takes the values named over from `other`.
    void copyFrom(const CAppSettings& other, const QStringList& names);

    // The registrations file of a controller: RegFilePath + "/" + the monthly file name.
    QString registrationsFile() const;

    static QString monthlyFileNameFor(int year, int month);

    // Stored int of section "Settings", or fallback when absent or not a number.
    static int readInt(QSettings& store, const QString& name, int fallback);

    // The language module named by the user (value "Language"); fallback when none is stored.
    static QString readLanguage(QSettings& store, const QString& fallback);
    static void writeLanguage(QSettings& store, const QString& language);
};

// One stored value: where it lives, the variable that holds it, how its stored form is read
// and what stands in for it when it is absent or refused.
struct CSettingDescriptor {
    enum class Form {
        Flag,        // on when the stored number is exactly 1; written as 1 or 0
        FlagNotZero, // on when the stored number is not 0; written as 1 or 0
        Number,      // a number; absent or not a number: the default
        Text,        // as stored
        TrimmedText, // blanks around it dropped
        Word,        // trimmed and in lower case
    };
    using Field = std::variant<bool CAppSettings::*, int CAppSettings::*, QString CAppSettings::*>;

    const char* name;
    Field field;
    Form form;
    QVariant fallback;
    // A value read that this refuses means the default; nullptr keeps every value.
    bool (*accept)(const QVariant& value) = nullptr;
    const char* section = "Settings";
    // Read at start-up before the language is chosen, not by load().
    bool readFirst = false;
    // The default is the one load() is given (the program folder).
    bool defaultFromCaller = false;

    QString key() const;
    QVariant storedForm(const CAppSettings& settings) const;
    void read(QSettings& store, CAppSettings& settings, const QString& callerDefault) const;
    void copy(const CAppSettings& from, CAppSettings& to) const;
};

// The window state the main window and the photo window keep between runs: the bar layout,
// whether the status bar shows, and the window placement record (window placement stays in
// section "Settings" as PlacementPhoto / Placement).
struct CStoredWindowState {
    enum class Window { Main, Photo };

    QByteArray bars;
    std::optional<bool> statusBar;
    QByteArray placement;

    static CStoredWindowState read(QSettings& store, Window window);
    // The placement is written only when given: a window never shown keeps the stored one.
    static void write(QSettings& store, Window window, const QByteArray& bars, bool statusBar,
                      const std::optional<QByteArray>& placement);
};
