// Dialogs that answer from a script and record what they were asked.
#pragma once

#include "gui/widgets/Dialogs.h"

#include <QDialog>
#include <deque>
#include <functional>

namespace lw::test {

class ScriptedDialogs final : public gui::Dialogs {
public:
    std::vector<gui::MessageRequest> messages;
    std::deque<gui::MessageButton> answers; // when empty, the first button is pressed
    std::function<void(const gui::MessageRequest&)> onMessage; // looks around while a box is up
    std::vector<QString> modalWindows;     // object names of windows shown modally
    std::function<void(QDialog&)> onModal; // drives a modal window, if set
    std::vector<gui::FileDialogRequest> fileRequests;
    std::deque<QString> fileAnswers;           // an empty text cancels the dialog
    std::vector<gui::TextRequest> textWindows; // texts shown to be read

    gui::MessageButton message(QWidget*, const gui::MessageRequest& request) override {
        messages.push_back(request);
        if (onMessage)
            onMessage(request);
        if (!answers.empty()) {
            const gui::MessageButton answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons.empty() ? gui::MessageButton::Ok : request.buttons.front();
    }
    std::optional<QString> openFileName(QWidget*, const gui::FileDialogRequest& request) override {
        return nextFile(request);
    }
    std::optional<QString> saveFileName(QWidget*, const gui::FileDialogRequest& request) override {
        return nextFile(request);
    }
    void showText(QWidget*, const gui::TextRequest& request) override {
        textWindows.push_back(request);
    }
    void showModal(QDialog& window) override {
        modalWindows.push_back(window.objectName());
        if (onModal)
            onModal(window);
    }

    // The texts of the error boxes shown so far.
    std::vector<QString> errors() const {
        std::vector<QString> texts;
        for (const gui::MessageRequest& request : messages)
            if (request.title == "Loamwright" && request.icon == gui::MessageIcon::Error)
                texts.push_back(request.text);
        return texts;
    }

private:
    std::optional<QString> nextFile(const gui::FileDialogRequest& request) {
        fileRequests.push_back(request);
        if (fileAnswers.empty())
            return std::nullopt;
        const QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        if (answer.isEmpty())
            return std::nullopt;
        return answer;
    }
};

} // namespace lw::test
