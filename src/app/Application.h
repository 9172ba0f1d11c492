// The desktop program's objects: the shared state and services, and all six windows, created
// in their fixed order and living for the whole run.
#pragma once

#include "app/AppContext.h"

#include <memory>

namespace lw {

class TMainForm;
class TLWDiffForm;
class TLWFillClearForm;
class TLWMapEditForm;
class TLWTextureAuswahlForm;
class TProgressForm;

class Application {
public:
    // Uses the given dialogs (tests pass scripted ones) or the real Qt dialogs.
    explicit Application(ui::Dialogs* dialogs = nullptr);
    ~Application();

    AppContext& context() { return context_; }
    TMainForm& mainForm() { return *main_; }
    TLWDiffForm& diffForm() { return *diff_; }
    TLWFillClearForm& fillClearForm() { return *fillClear_; }
    TLWMapEditForm& mapEditForm() { return *mapEdit_; }
    TLWTextureAuswahlForm& textureAuswahlForm() { return *textureAuswahl_; }
    TProgressForm& progressForm() { return *progress_; }

private:
    std::unique_ptr<ProgramState> state_;
    SettingsStore settings_;
    std::unique_ptr<ui::Dialogs> ownDialogs_;
    ui::BusyGuard busy_;
    AppContext context_;
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TLWDiffForm> diff_;
    std::unique_ptr<TLWFillClearForm> fillClear_;
    std::unique_ptr<TLWMapEditForm> mapEdit_;
    std::unique_ptr<TLWTextureAuswahlForm> textureAuswahl_;
    std::unique_ptr<TProgressForm> progress_;
};

} // namespace lw
