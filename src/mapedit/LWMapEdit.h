// The map editor: paints tiles and altitudes onto map0.mul cell by cell.
#pragma once

#include <QDialog>

namespace lw {

struct AppContext;

class TLWMapEditForm final : public QDialog {
    Q_OBJECT
public:
    explicit TLWMapEditForm(AppContext& context, QWidget* parent = nullptr);

private:
    AppContext& context_;
};

} // namespace lw
