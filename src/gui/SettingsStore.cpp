#include "gui/SettingsStore.h"

#include <QSettings>
#include <cstdint>
#include <vector>

namespace lw {
namespace {

const char* const kMainNames[] = {"StaIdx0.mul", "Statics0.mul", "UOX3.wsc"};
const char* const kFillClearNames[] = {"StaIdx0.mul", "Statics0.mul", "Map0.mul"};
const char* const kDiffNames[] = {"O-StaIdx0.mul", "O-Statics0.mul", "O-Map0.mul",
                                  "StaIdx0.mul",   "Statics0.mul",   "Map0.mul"};
const char* const kMapEditNames[] = {"Map0.mul", "UOPath"};
constexpr const char* kModeName = "Mode";
constexpr const char* kOverviewOpenName = "OverviewOpen";
constexpr const char* kOverviewGeometryName = "OverviewGeometry";

QSettings OpenStore() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tolvanek", "Loamwright");
}

SettingsError WrongType(const char* name) {
    return SettingsError(std::string("Ungültiger Datentyp für '") + name + "'");
}

void CheckWritten(QSettings& store, const char* name) {
    store.sync();
    if (store.status() != QSettings::NoError)
        throw SettingsError(std::string("Fehler beim Setzen der Daten für '") + name + "'");
}

// Value names are case-insensitive, as the registry treats them: a settings file written by
// hand or by another tool may spell them otherwise. The product's spelling is found first.
QString StoredName(const QSettings& store, const char* name) {
    const QString wanted = QString::fromLatin1(name);
    if (store.contains(wanted))
        return wanted;
    for (const QString& key : store.childKeys())
        if (key.compare(wanted, Qt::CaseInsensitive) == 0)
            return key;
    return wanted;
}

// Writes with the product's spelling, and drops the other spellings so that they cannot hide it.
void StoreValue(QSettings& store, const char* name, const QVariant& value) {
    const QString wanted = QString::fromLatin1(name);
    for (const QString& key : store.childKeys())
        if (key != wanted && key.compare(wanted, Qt::CaseInsensitive) == 0)
            store.remove(key);
    store.setValue(wanted, value);
}

QString ReadString(const QSettings& store, const char* name) {
    const QVariant value = store.value(StoredName(store, name));
    if (!value.isValid())
        return {};
    if (value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QByteArray)
        throw WrongType(name);
    return value.toString();
}

template <std::size_t N> std::array<QString, N> LoadStrings(const char* const (&names)[N]) {
    const QSettings store = OpenStore();
    std::array<QString, N> values;
    for (std::size_t i = 0; i < N; ++i)
        values[i] = ReadString(store, names[i]);
    return values;
}

template <std::size_t N>
void SaveStrings(const char* const (&names)[N], const std::array<QString, N>& values) {
    QSettings store = OpenStore();
    // Paths are stored on every keystroke that leaves a window's fields valid; values that
    // are already stored need no write of the whole file.
    bool unchanged = true;
    for (std::size_t i = 0; i < N && unchanged; ++i) {
        const QVariant stored = store.value(StoredName(store, names[i]));
        unchanged = stored.typeId() == QMetaType::QString && stored.toString() == values[i];
    }
    if (unchanged)
        return;
    for (std::size_t i = 0; i < N; ++i)
        StoreValue(store, names[i], values[i]);
    CheckWritten(store, names[0]);
}

} // namespace

SettingsStore::MainSettings SettingsStore::loadMainSettings() const {
    return LoadStrings(kMainNames);
}
void SettingsStore::saveMainSettings(const MainSettings& values) const {
    SaveStrings(kMainNames, values);
}
SettingsStore::FillClearSettings SettingsStore::loadFillClearSettings() const {
    return LoadStrings(kFillClearNames);
}
void SettingsStore::saveFillClearSettings(const FillClearSettings& values) const {
    SaveStrings(kFillClearNames, values);
}
SettingsStore::DiffSettings SettingsStore::loadDiffSettings() const {
    return LoadStrings(kDiffNames);
}
void SettingsStore::saveDiffSettings(const DiffSettings& values) const {
    SaveStrings(kDiffNames, values);
}
SettingsStore::MapEditSettings SettingsStore::loadMapEditSettings() const {
    return LoadStrings(kMapEditNames);
}
void SettingsStore::saveMapEditSettings(const MapEditSettings& values) const {
    SaveStrings(kMapEditNames, values);
}

SettingsStore::OverviewSettings SettingsStore::loadOverviewSettings() const {
    const QSettings store = OpenStore();
    OverviewSettings settings;
    bool ok = false;
    settings.Open = store.value(StoredName(store, kOverviewOpenName)).toInt(&ok) == 1 && ok;
    const QStringList parts =
        store.value(StoredName(store, kOverviewGeometryName)).toString().split(QLatin1Char(','));
    if (parts.size() == 4) {
        ok = true;
        int numbers[4] = {};
        for (int i = 0; i < 4 && ok; ++i)
            numbers[i] = parts[i].trimmed().toInt(&ok);
        if (ok && numbers[2] > 0 && numbers[3] > 0)
            settings.Geometry = QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
    }
    return settings;
}

void SettingsStore::saveOverviewOpen(bool open) const {
    QSettings store = OpenStore();
    StoreValue(store, kOverviewOpenName, open ? 1 : 0);
    CheckWritten(store, kOverviewOpenName);
}

void SettingsStore::saveOverviewGeometry(const QRect& geometry) const {
    QSettings store = OpenStore();
    StoreValue(store, kOverviewGeometryName,
               QStringLiteral("%1,%2,%3,%4")
                   .arg(geometry.x())
                   .arg(geometry.y())
                   .arg(geometry.width())
                   .arg(geometry.height()));
    CheckWritten(store, kOverviewGeometryName);
}

RestoreLimits SettingsStore::loadRestoreLimits() const {
    const QSettings store = OpenStore();
    RestoreLimits limits;
    const QVariant points = store.value(StoredName(store, kRestorePointsSetting));
    if (points.isValid()) {
        bool ok = false;
        const qlonglong value = points.toLongLong(&ok);
        if (!ok || value < 0 || value > INT32_MAX || points.typeId() == QMetaType::Bool ||
            points.typeId() == QMetaType::Double)
            throw WrongType(kRestorePointsSetting);
        limits.points = static_cast<int>(value);
    }
    const QVariant size = store.value(StoredName(store, kRestoreSizeSetting));
    if (size.isValid()) {
        try {
            limits.bytes = ParseByteSize(size.toString().trimmed().toStdString());
        } catch (const Error&) {
            throw WrongType(kRestoreSizeSetting);
        }
    }
    return limits;
}

int SettingsStore::readMode(const std::function<bool()>& askSimpleMode) const {
    {
        const QSettings store = OpenStore();
        const QVariant value = store.value(StoredName(store, kModeName));
        if (value.isValid()) {
            // The settings file has no types on Linux: a value that does not convert is as
            // wrong as a string in the registry.
            bool ok = false;
            const qlonglong mode = value.toLongLong(&ok);
            if (!ok || mode < INT32_MIN || mode > INT32_MAX || value.typeId() == QMetaType::Bool ||
                value.typeId() == QMetaType::Double)
                throw WrongType(kModeName);
            return static_cast<int>(mode);
        }
    }
    const int mode = askSimpleMode() ? 1 : 0;
    writeMode(mode);
    return mode;
}

void SettingsStore::writeMode(int mode) const {
    QSettings store = OpenStore();
    StoreValue(store, kModeName, mode);
    CheckWritten(store, kModeName);
}

} // namespace lw
