#include "ui/PathField.h"

#include "util/File.h"

#include <QLineEdit>
#include <QPalette>

namespace lw::ui {
namespace {

constexpr const char* kStateProperty = "lwFieldState";

bool IsSeparator(QChar c) {
#ifdef _WIN32
    return c == u'\\' || c == u'/' || c == u':';
#else
    return c == u'/';
#endif
}

} // namespace

void SetPathFieldValid(QLineEdit& field, bool valid) {
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, valid ? QColor(0, 128, 0) : QColor(255, 0, 0));
    field.setPalette(palette);
    field.setProperty(kStateProperty,
                      static_cast<int>(valid ? FieldState::Valid : FieldState::Invalid));
}

FieldState PathFieldState(const QLineEdit& field) {
    const QVariant state = field.property(kStateProperty);
    return state.isValid() ? static_cast<FieldState>(state.toInt()) : FieldState::Untouched;
}

QString LowerCaseFileName(const QString& path) {
    qsizetype start = path.size();
    while (start > 0 && !IsSeparator(path[start - 1]))
        --start;
    QString name = path.mid(start);
    for (QChar& c : name)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return name;
}

bool IsExistingFile(const QString& path) {
    return !path.isEmpty() && IsRegularFile(path.toStdString());
}

bool IsWorldFile(const QString& path, std::string_view expectedName) {
    return IsExistingFile(path) &&
           LowerCaseFileName(path) ==
               QString::fromUtf8(expectedName.data(), static_cast<qsizetype>(expectedName.size()));
}

bool ValidatePathField(QLineEdit& field, std::string_view expectedName) {
    const QString path = field.text();
    const bool valid =
        expectedName.empty() ? IsExistingFile(path) : IsWorldFile(path, expectedName);
    SetPathFieldValid(field, valid);
    return valid;
}

} // namespace lw::ui
