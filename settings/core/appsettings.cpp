#include "appsettings.h"

#include <QDate>
#include <QSettings>

namespace {
const QString kSection = QStringLiteral("Settings/");

QString readString(QSettings& s, const QString& name, const QString& fallback = QString()) {
    const QVariant v = s.value(kSection + name);
    return v.isValid() ? v.toString() : fallback;
}
} // namespace

CAppSettings& CAppSettings::instance() {
    static CAppSettings settings;
    return settings;
}

std::unique_ptr<QSettings> CAppSettings::openStore() {
    return std::make_unique<QSettings>(QStringLiteral("Brindlo"), QStringLiteral("Tarvex"));
}

int CAppSettings::readInt(QSettings& store, const QString& name, int fallback) {
    const QVariant v = store.value(kSection + name);
    if (!v.isValid())
        return fallback;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? n : fallback;
}

bool CAppSettings::readLangWarning(QSettings& store) {
    return readInt(store, QStringLiteral("LangWarning"), 1) == 1;
}

void CAppSettings::load(QSettings& s, const QString& regFileDefault) {
    MonthlyFileName = monthlyFileNameFor(QDate::currentDate().year(), QDate::currentDate().month());
    RegFilePath = readString(s, QStringLiteral("RegFilePath"), regFileDefault);
    AutoLoad = readInt(s, QStringLiteral("AutoLoad"), 0) != 0;
    AutoLoadFile = readString(s, QStringLiteral("AutoLoadFile"));
    UseMRDB = readInt(s, QStringLiteral("UseMRDB"), 0) == 1;
    MRDB = readString(s, QStringLiteral("MRDB"));
    UsePhoto = readInt(s, QStringLiteral("UsePhoto"), 0) == 1;
    PhotoDB = readString(s, QStringLiteral("PhotoDB"));
    PhotoTable = readString(s, QStringLiteral("PhotoTable"));
    PhotoLastName = readString(s, QStringLiteral("PhotoLastName"));
    PhotoFirstName = readString(s, QStringLiteral("PhotoFirstName"));
    PhotoMediaID = readString(s, QStringLiteral("PhotoMediaID"));
    PhotoPhoto = readString(s, QStringLiteral("PhotoPhoto"));
    ShowPhoto = readInt(s, QStringLiteral("ShowPhoto"), 0) == 1;
    ImportFile = readString(s, QStringLiteral("ImportFile"));
    ImportDB = readString(s, QStringLiteral("ImportDB"));
    VisualStyle = readInt(s, QStringLiteral("VisualStyle"), 0);
    // Only three styles exist; anything else found in the store means the first.
    if (VisualStyle < 0 || VisualStyle >= kVisualStyles)
        VisualStyle = 0;
    CodePage = readString(s, QStringLiteral("CodePage")).trimmed();
    MRDBCall =
        readString(s, QStringLiteral("MRDBCall"), QStringLiteral("exec")).trimmed().toLower();
    if (MRDBCall != QLatin1String("call"))
        MRDBCall = QStringLiteral("exec");
    ReportQueueMax = readInt(s, QStringLiteral("ReportQueueMax"), 100000);
    if (ReportQueueMax < 1)
        ReportQueueMax = 100000;
    UnknownAlertCount = readInt(s, QStringLiteral("UnknownAlertCount"), 5);
    if (UnknownAlertCount < 1)
        UnknownAlertCount = 5;
    UnknownAlertMinutes = readInt(s, QStringLiteral("UnknownAlertMinutes"), 2);
    if (UnknownAlertMinutes < 1)
        UnknownAlertMinutes = 2;
}

std::vector<std::pair<QString, QVariant>> CAppSettings::values() const {
    auto flag = [](bool on) { return QVariant(on ? 1 : 0); };
    return {{QStringLiteral("UseMRDB"), flag(UseMRDB)},
            {QStringLiteral("MRDB"), MRDB},
            {QStringLiteral("UsePhoto"), flag(UsePhoto)},
            {QStringLiteral("PhotoDB"), PhotoDB},
            {QStringLiteral("PhotoTable"), PhotoTable},
            {QStringLiteral("PhotoLastName"), PhotoLastName},
            {QStringLiteral("PhotoFirstName"), PhotoFirstName},
            {QStringLiteral("PhotoMediaID"), PhotoMediaID},
            {QStringLiteral("PhotoPhoto"), PhotoPhoto},
            {QStringLiteral("ShowPhoto"), flag(ShowPhoto)},
            {QStringLiteral("RegFilePath"), RegFilePath},
            {QStringLiteral("AutoLoad"), flag(AutoLoad)},
            {QStringLiteral("AutoLoadFile"), AutoLoadFile},
            {QStringLiteral("VisualStyle"), VisualStyle},
            {QStringLiteral("ImportFile"), ImportFile},
            {QStringLiteral("ImportDB"), ImportDB},
            {QStringLiteral("LangWarning"), flag(LangWarning)},
            {QStringLiteral("CodePage"), CodePage},
            {QStringLiteral("MRDBCall"), MRDBCall},
            {QStringLiteral("ReportQueueMax"), ReportQueueMax},
            {QStringLiteral("UnknownAlertCount"), UnknownAlertCount},
            {QStringLiteral("UnknownAlertMinutes"), UnknownAlertMinutes}};
}

void CAppSettings::save(QSettings& s) const {
    for (const auto& [name, value] : values())
        s.setValue(kSection + name, value);
    s.sync();
}

QString CAppSettings::registrationsFile() const {
    return RegFilePath + QLatin1Char('/') + MonthlyFileName;
}

QString CAppSettings::monthlyFileNameFor(int year, int month) {
    return QStringLiteral("TarvexRegs-%1-%2.txt")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'));
}
