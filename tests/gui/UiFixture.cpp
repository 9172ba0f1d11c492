#include "UiFixture.h"

#include "gui/MapEditorWindow.h"
#include "support/WorldFiles.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTest>

namespace lw::test {

PrivateSettings::PrivateSettings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(dir_.path()));
}

void PrivateSettings::put(const QString& name, const QVariant& value) {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tolvanek", "Loamwright");
    store.setValue(name, value);
    store.sync();
}

QVariant PrivateSettings::get(const QString& name) const {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Tolvanek", "Loamwright");
    return store.value(name);
}

void UiTest::start() {
    program_ = std::make_unique<Application>(&dialogs_);
    form().show();
}

void UiTest::makeWorld() {
    MakeEmptyStatics(world("staidx0.mul"), world("statics0.mul"));
    WriteWholeFile(world("statics.cfg"), "");
}

MapEditorWindow& UiTest::showMapEditor(const std::string& mapPath) {
    settings_.put("Map0.mul", Q(mapPath));
    settings_.put("UOPath", Q(worldDir_.path()));
    settings_.put("Mode", 0);
    start();
    MapEditorWindow& editor = program_->mapEditForm();
    editor.resize(800, 600);
    editor.show();
    QCoreApplication::processEvents();
    return editor;
}

void UiTest::typeInto(QLineEdit& field, const QString& text) {
    field.setFocus();
    field.selectAll();
    if (text.isEmpty())
        QTest::keyClick(&field, Qt::Key_Delete);
    else
        QTest::keyClicks(&field, text);
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace lw::test
