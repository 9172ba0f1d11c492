// The desktop program's objects: the shared state and services, and all windows, created in their
// fixed order and living for the whole run.
#pragma once

#include "gui/WindowContext.h"

#include <memory>

namespace lw {

class MainWindow;
class DiffWindow;
class FillClearWindow;
class MapEditorWindow;
class TexturePaletteWindow;
class OverviewWindow;
class ProgressWindow;

class Application {
public:
    // Uses the given dialogs (tests pass scripted ones) or the real Qt dialogs.
    explicit Application(gui::Dialogs* dialogs = nullptr);
    ~Application();

    WindowContext& context() { return context_; }
    MainWindow& mainForm() { return *main_; }
    DiffWindow& diffForm() { return *diff_; }
    FillClearWindow& fillClearForm() { return *fillClear_; }
    MapEditorWindow& mapEditForm() { return *mapEdit_; }
    TexturePaletteWindow& textureAuswahlForm() { return *textureAuswahl_; }
    OverviewWindow& overviewForm() { return *overview_; }
    ProgressWindow& progressForm() { return *progress_; }

private:
    std::unique_ptr<ProgramState> state_;
    SettingsStore settings_;
    std::unique_ptr<gui::Dialogs> ownDialogs_;
    gui::BusyGuard busy_;
    WindowContext context_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<DiffWindow> diff_;
    std::unique_ptr<FillClearWindow> fillClear_;
    std::unique_ptr<MapEditorWindow> mapEdit_;
    std::unique_ptr<TexturePaletteWindow> textureAuswahl_;
    std::unique_ptr<OverviewWindow> overview_;
    std::unique_ptr<ProgressWindow> progress_;
};

} // namespace lw
