// The texture selection window: a palette of tile groups beside the map editor.
#pragma once

#include <QDialog>

namespace lw {

struct AppContext;

class TLWTextureAuswahlForm final : public QDialog {
    Q_OBJECT
public:
    explicit TLWTextureAuswahlForm(AppContext& context, QWidget* parent = nullptr);

private:
    AppContext& context_;
};

} // namespace lw
