#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

class QSettings;

// The program-wide settings variables of section "Settings", with their store. Flags are read
// as on only when the stored number is exactly 1 (AutoLoad: when it is not 0) and written as
// 1 or 0.
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

    // "TarvexRegs-%Y-%m.txt" of the start; never recomputed while the program runs.
    QString MonthlyFileName;

    // The program-wide instance.
    static CAppSettings& instance();

    // The per-user store: organisation "Brindlo", application "Tarvex".
    static std::unique_ptr<QSettings> openStore();

    // Reads LangWarning only (start-up reads it before the language module is chosen).
    static bool readLangWarning(QSettings& store);
    // Reads every value except LangWarning; regFileDefault is RegFilePath's default.
    void load(QSettings& store, const QString& regFileDefault);
    // Writes values() in order.
    void save(QSettings& store) const;
    // The values SaveSettings writes, in its fixed order (LangWarning included, then CodePage,
    // MRDBCall, ReportQueueMax, UnknownAlertCount and UnknownAlertMinutes); flags as 1 or 0.
    std::vector<std::pair<QString, QVariant>> values() const;

    // The registrations file of a controller: RegFilePath + "/" + the monthly file name.
    QString registrationsFile() const;

    static QString monthlyFileNameFor(int year, int month);

    // Stored int of section "Settings", or fallback when absent or not a number.
    static int readInt(QSettings& store, const QString& name, int fallback);
};
