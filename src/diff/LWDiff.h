// The diff window: generates a world diff and applies one.
#pragma once

#include <QDialog>

namespace lw {

struct AppContext;

class TLWDiffForm final : public QDialog {
    Q_OBJECT
public:
    explicit TLWDiffForm(AppContext& context, QWidget* parent = nullptr);

private:
    AppContext& context_;
};

} // namespace lw
