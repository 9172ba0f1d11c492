// Dialogs that answer from a script and record what they were asked.
#pragma once

#include "ui/Dialogs.h"

#include <QDialog>
#include <deque>
#include <functional>

namespace lw::test {

class ScriptedDialogs final : public ui::Dialogs {
public:
    std::vector<ui::MessageRequest> messages;
    std::deque<ui::MessageButton> answers; // when empty, the first button is pressed
    std::function<void(const ui::MessageRequest&)> onMessage; // looks around while a box is up
    std::vector<QString> modalWindows;     // object names of windows shown modally
    std::function<void(QDialog&)> onModal; // drives a modal window, if set
    std::vector<ui::FileDialogRequest> fileRequests;
    std::deque<QString> fileAnswers; // an empty text cancels the dialog

    ui::MessageButton message(QWidget*, const ui::MessageRequest& request) override {
        messages.push_back(request);
        if (onMessage)
            onMessage(request);
        if (!answers.empty()) {
            const ui::MessageButton answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons.empty() ? ui::MessageButton::Ok : request.buttons.front();
    }
    std::optional<QString> openFileName(QWidget*, const ui::FileDialogRequest& request) override {
        return nextFile(request);
    }
    std::optional<QString> saveFileName(QWidget*, const ui::FileDialogRequest& request) override {
        return nextFile(request);
    }
    void showModal(QDialog& window) override {
        modalWindows.push_back(window.objectName());
        if (onModal)
            onModal(window);
    }

    // The texts of the error boxes shown so far.
    std::vector<QString> errors() const {
        std::vector<QString> texts;
        for (const ui::MessageRequest& request : messages)
            if (request.title == "Loamwright" && request.icon == ui::MessageIcon::Error)
                texts.push_back(request.text);
        return texts;
    }

private:
    std::optional<QString> nextFile(const ui::FileDialogRequest& request) {
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
