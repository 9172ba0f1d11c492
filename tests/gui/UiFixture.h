// A desktop program with scripted dialogs, its settings in a private temporary folder, and
// helpers to make world files, find the windows' controls by name and drive them.
#pragma once

#include "FindControl.h"
#include "ScriptedDialogs.h"
#include "app/Application.h"
#include "gui/MainWindow.h"
#include "support/TempDir.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace lw::test {

// Points the settings store at a fresh folder for the lifetime of the object.
class PrivateSettings {
public:
    PrivateSettings();
    const std::string& folder() const { return dir_.path(); }
    // Writes a raw value into the settings file, bypassing the store's types.
    void put(const QString& name, const QVariant& value);
    QVariant get(const QString& name) const;

private:
    TempDir dir_;
};

class UiTest : public ::testing::Test {
protected:
    // Creates the program and shows the main window (runs prepareForShow).
    void start();
    // A world of full-size empty statics files plus an item file, in world().
    void makeWorld();
    // Starts the program in Normal mode with the map and world() as the stored image folder, and
    // shows the map editor at 800 x 600.
    MapEditorWindow& showMapEditor(const std::string& mapPath);
    std::string world(const std::string& name) const { return worldDir_.file(name); }
    void typeInto(QLineEdit& field, const QString& text);
    MainWindow& form() { return program_->mainForm(); }
    // A control of the main window.
    template <class W = QWidget> W& mainControl(const char* name) { return Find<W>(form(), name); }
    QLineEdit& mainEdit(const char* name) { return mainControl<QLineEdit>(name); }
    QPushButton& mainButton(const char* name) { return mainControl<QPushButton>(name); }

    PrivateSettings settings_;
    TempDir worldDir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<Application> program_;
};

QString Q(const std::string& text);

} // namespace lw::test
