#include "app/Application.h"

#include "app/Main.h"
#include "app/Progress.h"
#include "diff/LWDiff.h"
#include "fillclear/LWFillClear.h"
#include "mapedit/LWMapEdit.h"
#include "mapedit/LWTextureAuswahl.h"

namespace lw {
namespace {

ui::Dialogs& ChooseDialogs(ui::Dialogs* given, std::unique_ptr<ui::Dialogs>& own) {
    if (given != nullptr)
        return *given;
    own = std::make_unique<ui::QtDialogs>();
    return *own;
}

} // namespace

Application::Application(ui::Dialogs* dialogs)
    : state_(std::make_unique<ProgramState>()), context_{*state_, settings_,
                                                         ChooseDialogs(dialogs, ownDialogs_),
                                                         busy_} {
    main_ = std::make_unique<TMainForm>(context_);
    diff_ = std::make_unique<TLWDiffForm>(context_);
    fillClear_ = std::make_unique<TLWFillClearForm>(context_);
    mapEdit_ = std::make_unique<TLWMapEditForm>(context_);
    textureAuswahl_ = std::make_unique<TLWTextureAuswahlForm>(context_);
    progress_ = std::make_unique<TProgressForm>();
    main_->SetToolWindows(*diff_, *fillClear_, *mapEdit_);
    diff_->SetCompanions(*main_, *progress_);
}

Application::~Application() = default;

} // namespace lw
