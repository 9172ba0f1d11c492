#include "UiFixture.h"

#include "support/WorldFiles.h"

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
