#include "appsettings.h"

#include <QDate>
#include <QSettings>

#include <array>

namespace {
using Form = CSettingDescriptor::Form;
using S = CAppSettings;

bool isVisualStyle(const QVariant& v) {
    return v.toInt() >= 0 && v.toInt() < CAppSettings::kVisualStyles;
}
bool isPositive(const QVariant& v) {
    return v.toInt() >= 1;
}
bool isNotNegative(const QVariant& v) {
    return v.toInt() >= 0;
}
bool isCallForm(const QVariant& v) {
    return v.toString() == QLatin1String("exec") || v.toString() == QLatin1String("call");
}

// The order is SaveSettings' order. A new setting is one row here and its variable above.
const std::array kSettings = {
    CSettingDescriptor{"UseMRDB", &S::UseMRDB, Form::Flag, 0},
    CSettingDescriptor{"MRDB", &S::MRDB, Form::Text, QString()},
    CSettingDescriptor{"UsePhoto", &S::UsePhoto, Form::Flag, 0},
    CSettingDescriptor{"PhotoDB", &S::PhotoDB, Form::Text, QString()},
    CSettingDescriptor{"PhotoTable", &S::PhotoTable, Form::Text, QString()},
    CSettingDescriptor{"PhotoLastName", &S::PhotoLastName, Form::Text, QString()},
    CSettingDescriptor{"PhotoFirstName", &S::PhotoFirstName, Form::Text, QString()},
    CSettingDescriptor{"PhotoMediaID", &S::PhotoMediaID, Form::Text, QString()},
    CSettingDescriptor{"PhotoPhoto", &S::PhotoPhoto, Form::Text, QString()},
    CSettingDescriptor{"ShowPhoto", &S::ShowPhoto, Form::Flag, 0},
    CSettingDescriptor{"RegFilePath", &S::RegFilePath, Form::Text, QString(), nullptr, "Settings",
                       false, true},
    CSettingDescriptor{"AutoLoad", &S::AutoLoad, Form::FlagNotZero, 0},
    CSettingDescriptor{"AutoLoadFile", &S::AutoLoadFile, Form::Text, QString()},
    // Only three styles exist; anything else found in the store means the first.
    CSettingDescriptor{"VisualStyle", &S::VisualStyle, Form::Number, 0, isVisualStyle},
    CSettingDescriptor{"ImportFile", &S::ImportFile, Form::Text, QString()},
    CSettingDescriptor{"ImportDB", &S::ImportDB, Form::Text, QString()},
    CSettingDescriptor{"LangWarning", &S::LangWarning, Form::Flag, 1, nullptr, "Settings", true},
    CSettingDescriptor{"CodePage", &S::CodePage, Form::TrimmedText, QString()},
    CSettingDescriptor{"MRDBCall", &S::MRDBCall, Form::Word, QStringLiteral("exec"), isCallForm},
    CSettingDescriptor{"ReportQueueMax", &S::ReportQueueMax, Form::Number, 100000, isPositive},
    CSettingDescriptor{"UnknownAlertCount", &S::UnknownAlertCount, Form::Number, 5, isPositive},
    CSettingDescriptor{"UnknownAlertMinutes", &S::UnknownAlertMinutes, Form::Number, 2, isPositive},
    CSettingDescriptor{"LinkCheckMinutes", &S::LinkCheckMinutes, Form::Number, 10, isNotNegative},
};

const QString kLanguageKey = QStringLiteral("Settings/Language");

// The stored number, or nothing when absent or not a number.
std::optional<int> storedInt(const QVariant& v) {
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}
} // namespace

QString CSettingDescriptor::key() const {
    return QLatin1String(section) + QLatin1Char('/') + QLatin1String(name);
}

QVariant CSettingDescriptor::storedForm(const CAppSettings& s) const {
    return std::visit(
        [&](auto member) -> QVariant {
            const auto& value = s.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>)
                return QVariant(value ? 1 : 0);
            else
                return QVariant(value);
        },
        field);
}

void CSettingDescriptor::read(QSettings& store, CAppSettings& s,
                              const QString& callerDefault) const {
    const QVariant stored = store.value(key());
    const QVariant fallbackValue = defaultFromCaller ? QVariant(callerDefault) : fallback;
    QVariant value;
    switch (form) {
    case Form::Flag:
        value = storedInt(stored).value_or(fallbackValue.toInt()) == 1;
        break;
    case Form::FlagNotZero:
        value = storedInt(stored).value_or(fallbackValue.toInt()) != 0;
        break;
    case Form::Number:
        value = storedInt(stored).value_or(fallbackValue.toInt());
        break;
    case Form::Text:
        value = stored.isValid() ? stored.toString() : fallbackValue.toString();
        break;
    case Form::TrimmedText:
        value = (stored.isValid() ? stored.toString() : fallbackValue.toString()).trimmed();
        break;
    case Form::Word:
        value =
            (stored.isValid() ? stored.toString() : fallbackValue.toString()).trimmed().toLower();
        break;
    }
    if (accept && !accept(value))
        value = fallbackValue;
    std::visit(
        [&](auto member) {
            auto& target = s.*member;
            using T = std::decay_t<decltype(target)>;
            if constexpr (std::is_same_v<T, bool>)
                target = value.toBool();
            else if constexpr (std::is_same_v<T, int>)
                target = value.toInt();
            else
                target = value.toString();
        },
        field);
}

void CSettingDescriptor::copy(const CAppSettings& from, CAppSettings& to) const {
    std::visit([&](auto member) { to.*member = from.*member; }, field);
}

CAppSettings& CAppSettings::instance() {
    static CAppSettings settings;
    return settings;
}

std::unique_ptr<QSettings> CAppSettings::openStore() {
    return std::make_unique<QSettings>(QStringLiteral("Brindlo"), QStringLiteral("Tarvex"));
}

std::span<const CSettingDescriptor> CAppSettings::descriptors() {
    return kSettings;
}

const CSettingDescriptor* CAppSettings::descriptor(const QString& name) {
    for (const CSettingDescriptor& d : kSettings)
        if (name == QLatin1String(d.name))
            return &d;
    return nullptr;
}

int CAppSettings::readInt(QSettings& store, const QString& name, int fallback) {
    return storedInt(store.value(QStringLiteral("Settings/") + name)).value_or(fallback);
}

bool CAppSettings::readLangWarning(QSettings& store) {
    CAppSettings read;
    descriptor(QStringLiteral("LangWarning"))->read(store, read, QString());
    return read.LangWarning;
}

void CAppSettings::load(QSettings& s, const QString& regFileDefault) {
    MonthlyFileName = monthlyFileNameFor(QDate::currentDate().year(), QDate::currentDate().month());
    for (const CSettingDescriptor& d : kSettings)
        if (!d.readFirst)
            d.read(s, *this, regFileDefault);
}

std::vector<std::pair<QString, QVariant>> CAppSettings::values() const {
    std::vector<std::pair<QString, QVariant>> out;
    out.reserve(kSettings.size());
    for (const CSettingDescriptor& d : kSettings)
        out.emplace_back(QLatin1String(d.name), d.storedForm(*this));
    return out;
}

void CAppSettings::save(QSettings& s) const {
    for (const CSettingDescriptor& d : kSettings)
        s.setValue(d.key(), d.storedForm(*this));
    s.sync();
}

void CAppSettings::save(QSettings& s, const QStringList& names) const {
    for (const CSettingDescriptor& d : kSettings)
        if (names.contains(QLatin1String(d.name)))
            s.setValue(d.key(), d.storedForm(*this));
    s.sync();
}

void CAppSettings::copyFrom(const CAppSettings& other, const QStringList& names) {
    for (const QString& name : names)
        if (const CSettingDescriptor* d = descriptor(name))
            d->copy(other, *this);
}

QString CAppSettings::registrationsFile() const {
    return RegFilePath + QLatin1Char('/') + MonthlyFileName;
}

QString CAppSettings::monthlyFileNameFor(int year, int month) {
    return QStringLiteral("TarvexRegs-%1-%2.txt")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'));
}

QString CAppSettings::readLanguage(QSettings& store, const QString& fallback) {
    return store.value(kLanguageKey, fallback).toString();
}

void CAppSettings::writeLanguage(QSettings& store, const QString& language) {
    store.setValue(kLanguageKey, language);
    store.sync();
}

namespace {
struct WindowKeys {
    QString bars;
    QString statusBar;
    QString placement;
};

WindowKeys keysOf(CStoredWindowState::Window window) {
    if (window == CStoredWindowState::Window::Photo)
        return {QStringLiteral("BarsPhoto/State"), QStringLiteral("BarsPhoto/StatusBar"),
                QStringLiteral("Settings/PlacementPhoto")};
    return {QStringLiteral("Bars/State"), QStringLiteral("Bars/StatusBar"),
            QStringLiteral("Settings/Placement")};
}
} // namespace

CStoredWindowState CStoredWindowState::read(QSettings& store, Window window) {
    const WindowKeys keys = keysOf(window);
    CStoredWindowState state;
    state.bars = store.value(keys.bars).toByteArray();
    const QVariant statusVisible = store.value(keys.statusBar);
    if (statusVisible.isValid())
        state.statusBar = statusVisible.toInt() != 0;
    state.placement = store.value(keys.placement).toByteArray();
    return state;
}

void CStoredWindowState::write(QSettings& store, Window window, const QByteArray& bars,
                               bool statusBar, const std::optional<QByteArray>& placement) {
    const WindowKeys keys = keysOf(window);
    store.setValue(keys.bars, bars);
    store.setValue(keys.statusBar, statusBar ? 1 : 0);
    if (placement)
        store.setValue(keys.placement, *placement);
    store.sync();
}
