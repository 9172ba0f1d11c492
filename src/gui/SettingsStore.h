// The per-user settings: the paths each window last saw as valid, and the mode. On Windows the
// registry key HKEY_CURRENT_USER\Software\Tolvanek\Loamwright, elsewhere Qt's per-user file.
// Every call opens the store, reads or writes its values in order and closes it again.
#pragma once

#include "restore/RestoreLimits.h"
#include "util/Errors.h"

#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace lw {

// A value of the wrong type, or a write the platform refused.
class SettingsError : public Error {
public:
    using Error::Error;
};

class SettingsStore {
public:
    using MainSettings = std::array<QString, 3>;      // StaIdx0.mul, Statics0.mul, UOX3.wsc
    using FillClearSettings = std::array<QString, 3>; // StaIdx0.mul, Statics0.mul, Map0.mul
    using DiffSettings = std::array<QString, 6>;      // the three O- values, then the three
    using MapEditSettings = std::array<QString, 2>;   // Map0.mul, UOPath

    MainSettings loadMainSettings() const;
    void saveMainSettings(const MainSettings& values) const;
    FillClearSettings loadFillClearSettings() const;
    void saveFillClearSettings(const FillClearSettings& values) const;
    DiffSettings loadDiffSettings() const;
    void saveDiffSettings(const DiffSettings& values) const;
    MapEditSettings loadMapEditSettings() const;
    void saveMapEditSettings(const MapEditSettings& values) const;

    // The map editor's overview: whether it was open when the editor last closed, and where it
    // stood (its frame's top-left corner and its size). "OverviewOpen" is a 32-bit integer,
    // "OverviewGeometry" the text "x,y,width,height"; a value that does not read is as missing.
    struct OverviewSettings {
        bool Open = false;
        std::optional<QRect> Geometry;
    };
    OverviewSettings loadOverviewSettings() const;
    void saveOverviewOpen(bool open) const;
    void saveOverviewGeometry(const QRect& geometry) const;

    // How many restore points a folder keeps ("RestorePoints", an integer, 0 keeps none) and the
    // room they may take ("RestoreSize": bytes, or a text such as "512M" or "2G"); a missing value
    // is the default, a value that does not read is an error naming it.
    RestoreLimits loadRestoreLimits() const;

    // The stored mode; without one, askSimpleMode() decides (true = Simple, 1) and the answer
    // is stored at once.
    int readMode(const std::function<bool()>& askSimpleMode) const;
    void writeMode(int mode) const;
};

} // namespace lw
