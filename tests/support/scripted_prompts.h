#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/prompts.h"

namespace quorvane::testing {

// Answers boxes from a queue of expectations, records every box asked, and fails
// the running test on a box it was not told to expect.
class ScriptedPrompts : public Prompts {
  public:
    enum class Kind {
        Message,
        Confirm,
        SaveChoice,
        Input,
        Agreement,
        Error,
        Open,
        Save,
        Print,
        PrinterSetup,
        Replace
    };

    struct Asked {
        Kind kind;
        QString title;
        QString text;
    };

    void ExpectMessage() { Push(Kind::Message); }
    // The callback runs while the box is open, as another program could.
    void ExpectMessage(std::function<void()> whileShown) {
        Push(Kind::Message).whileShown = std::move(whileShown);
    }
    void ExpectConfirm(bool yes) { Push(Kind::Confirm).yes = yes; }
    void ExpectReplace(bool yes) { Push(Kind::Replace).yes = yes; }
    void ExpectSaveChoice(quorvane::SaveChoice choice) { Push(Kind::SaveChoice).choice = choice; }
    // nullopt stands for Cancel, which returns the default.
    void ExpectInput(std::optional<QString> answer) { Push(Kind::Input).text = answer; }
    void ExpectAgreement(bool ok) { Push(Kind::Agreement).yes = ok; }
    void ExpectError() { Push(Kind::Error); }
    void ExpectOpen(std::optional<QString> path) { Push(Kind::Open).text = path; }
    void ExpectSave(std::optional<QString> path) { Push(Kind::Save).text = path; }
    // The callback plays the user in the dialog (for instance pointing the printer
    // at a PDF file) and returns whether OK was pressed.
    void ExpectPrint(std::function<bool(QPrinter&)> user) { Push(Kind::Print).printer = user; }
    void ExpectPrinterSetup(std::function<bool(QPrinter&)> user) {
        Push(Kind::PrinterSetup).printer = user;
    }

    bool AllAnswered() const { return queue_.empty(); }
    const std::vector<Asked>& asked() const { return asked_; }
    const Asked& last() const { return asked_.back(); }
    // The presets and arguments the dialogs were opened with, in order.
    const std::vector<QString>& presets() const { return presets_; }

    bool defaultPrinter = true;

    void Message(const QString& text) override {
        if (const auto& whileShown = Take(Kind::Message, "", text).whileShown) {
            whileShown();
        }
    }
    bool Confirm(const QString& text) override {
        return Take(Kind::Confirm, "Information", text).yes;
    }
    quorvane::SaveChoice AskSave(const QString& text) override {
        return Take(Kind::SaveChoice, "Information", text).choice;
    }
    bool ConfirmReplace(const QString& text) override {
        return Take(Kind::Replace, "Information", text).yes;
    }
    QString InputBox(const QString& title, const QString& prompt,
                     const QString& defaultText) override {
        auto answer = Take(Kind::Input, title, prompt).text;
        presets_.push_back(defaultText);
        return answer ? answer->left(255) : defaultText;
    }
    bool Agreement(const QString& title, const QString& text) override {
        return Take(Kind::Agreement, title, text).yes;
    }
    void Error(const QString& text) override { Take(Kind::Error, "quorvane", text); }
    std::optional<QString> OpenFileName(const QString& preset, const QString& filter,
                                        const QString& defaultSuffix) override {
        presets_.push_back(preset);
        return Take(Kind::Open, filter, defaultSuffix).text;
    }
    std::optional<QString> SaveFileName(const QString& preset, const QString& defaultSuffix,
                                        bool confirmOverwrite) override {
        presets_.push_back(preset);
        return Take(Kind::Save, confirmOverwrite ? "confirm" : "", defaultSuffix).text;
    }
    // Asked as a Save box whose title is the filter.
    std::optional<QString> SaveFileAs(const QString& preset, const QString& filter,
                                      const QString& defaultSuffix) override {
        presets_.push_back(preset);
        return Take(Kind::Save, filter, defaultSuffix).text;
    }
    bool HasDefaultPrinter() override { return defaultPrinter; }
    bool PrintDialog(QPrinter& printer) override {
        auto& user = Take(Kind::Print, "", "").printer;
        return user ? user(printer) : false;
    }
    bool PrinterSetupDialog(QPrinter& printer) override {
        auto& user = Take(Kind::PrinterSetup, "", "").printer;
        return user ? user(printer) : false;
    }

  private:
    struct Answer {
        explicit Answer(Kind k) : kind(k) {}
        Kind kind;
        bool yes = false;
        // An unexpected box answers as the box's close button would.
        quorvane::SaveChoice choice = quorvane::SaveChoice::Cancel;
        std::optional<QString> text;
        std::function<bool(QPrinter&)> printer;
        std::function<void()> whileShown;
    };

    Answer& Push(Kind kind) { return queue_.emplace_back(kind); }

    const Answer& Take(Kind kind, const QString& title, const QString& text) {
        asked_.push_back({kind, title, text});
        if (queue_.empty() || queue_.front().kind != kind) {
            ADD_FAILURE() << "unexpected box " << static_cast<int>(kind) << ": "
                          << title.toStdString() << " / " << text.toStdString();
            current_ = Answer(kind);
            return current_;
        }
        current_ = queue_.front();
        queue_.pop_front();
        return current_;
    }

    std::deque<Answer> queue_;
    std::vector<Asked> asked_;
    std::vector<QString> presets_;
    Answer current_{Kind::Message};
};

}  // namespace quorvane::testing
