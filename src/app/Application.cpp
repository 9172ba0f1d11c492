#include "app/Application.h"

#include "gui/DiffWindow.h"
#include "gui/FillClearWindow.h"
#include "gui/MainWindow.h"
#include "gui/MapEditorWindow.h"
#include "gui/OverviewWindow.h"
#include "gui/ProgressWindow.h"
#include "gui/TexturePaletteWindow.h"

namespace lw {
namespace {

gui::Dialogs& ChooseDialogs(gui::Dialogs* given, std::unique_ptr<gui::Dialogs>& own) {
    if (given != nullptr)
        return *given;
    own = std::make_unique<gui::QtDialogs>();
    return *own;
}

} // namespace

Application::Application(gui::Dialogs* dialogs)
    : state_(std::make_unique<ProgramState>()), context_{*state_, settings_,
                                                         ChooseDialogs(dialogs, ownDialogs_),
                                                         busy_} {
    main_ = std::make_unique<MainWindow>(context_);
    diff_ = std::make_unique<DiffWindow>(context_);
    fillClear_ = std::make_unique<FillClearWindow>(context_);
    mapEdit_ = std::make_unique<MapEditorWindow>(context_);
    textureAuswahl_ = std::make_unique<TexturePaletteWindow>(context_);
    overview_ = std::make_unique<OverviewWindow>(context_);
    // The progress window belongs to the main window, so it stays with the program.
    progress_ = std::make_unique<ProgressWindow>(main_.get());
    main_->setToolWindows(*diff_, *fillClear_, *mapEdit_);
    mapEdit_->setPalette(*textureAuswahl_);
    mapEdit_->setOverview(*overview_);
    QObject::connect(mapEdit_.get(), &MapEditorWindow::filesChanged, overview_.get(),
                     &OverviewWindow::setFiles);
    QObject::connect(mapEdit_.get(), &MapEditorWindow::viewChanged, overview_.get(),
                     &OverviewWindow::setEditorView);
    QObject::connect(mapEdit_.get(), &MapEditorWindow::cellsWritten, overview_.get(),
                     &OverviewWindow::cellsWritten);
    QObject::connect(mapEdit_.get(), &MapEditorWindow::mapWriting, overview_.get(),
                     &OverviewWindow::editorWriting);
    QObject::connect(overview_.get(), &OverviewWindow::moveEditor, mapEdit_.get(),
                     &MapEditorWindow::centreOn);
    textureAuswahl_->setMapEditor([this] { return mapEdit_->pictureFolder(); },
                                  [this](std::int32_t tile) { mapEdit_->selectTile(tile); });
    // The tool windows' runs use the main window's bar and log.
    const auto mainProgress = [this](int percent) { main_->setMainProgress(percent); };
    const LogSink mainLog = [this](const std::string& line) {
        main_->addLogLine(QString::fromStdString(line));
    };
    diff_->setCompanions(mainProgress, *progress_, mainLog);
    fillClear_->setMainProgress(mainProgress);
    fillClear_->setMainLog(mainLog);
}

Application::~Application() = default;

} // namespace lw
