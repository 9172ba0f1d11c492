// The fill/clear window: clears the statics and fills the terrain of a rectangle.
#pragma once

#include <QDialog>

namespace lw {

struct AppContext;

class TLWFillClearForm final : public QDialog {
    Q_OBJECT
public:
    explicit TLWFillClearForm(AppContext& context, QWidget* parent = nullptr);

private:
    AppContext& context_;
};

} // namespace lw
