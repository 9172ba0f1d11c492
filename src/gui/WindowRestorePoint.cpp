#include "gui/WindowRestorePoint.h"

#include "gui/SettingsStore.h"

namespace lw {
namespace {

RestoreSettings SettingsOf(const SettingsStore& settings, const std::string& operation,
                           const std::string& window) {
    RestoreSettings restore;
    restore.limits = settings.loadRestoreLimits();
    restore.operation = operation;
    restore.commandLine = "desktop program, " + window + " window";
    return restore;
}

} // namespace

WindowRestorePoint::WindowRestorePoint(const SettingsStore& settings, const std::string& operation,
                                       const std::string& window, LogSink log)
    : keeper_(SettingsOf(settings, operation, window), std::move(log)), scope_(keeper_) {}

} // namespace lw
