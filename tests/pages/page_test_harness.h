#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>
#include <string>

#include "core/analysis/analysis.h"
#include "core/analysis/symptom_table.h"
#include "core/settings/settings_store.h"
#include "core/text/quorvane_error.h"
#include "support/scripted_prompts.h"
#include "ui/window_services.h"

namespace quorvane::testing {

// Kept for the whole process and never destroyed: Qt's own statics are gone by the
// time a static application object would be.
inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "quorvane-page-test";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// What the window would hand a page, with every box scripted and a settings file
// of its own in a temporary folder.
class PageTest : public ::testing::Test {
  protected:
    PageTest() {
        TestApplication();
        EXPECT_TRUE(dir.isValid());
    }

    void TearDown() override {
        EXPECT_TRUE(prompts.AllAnswered()) << "a scripted box was never asked";
    }

    WindowServices Services() {
        return WindowServices{prompts, symptoms, analysis, [this] { return SettingsFile(); },
                              [this](const std::function<void()>& handler) {
                                  try {
                                      handler();
                                  } catch (const QuorvaneError& error) {
                                      if (beforeErrorBox) {
                                          beforeErrorBox();
                                      }
                                      prompts.Error(QString::fromLatin1(error.what()));
                                  }
                              }};
    }

    std::string SettingsFile() const { return SettingsPath(dir.path().toStdString()); }

    // Shows the widget in a window of its own that holds the keyboard focus.
    static void ShowActive(QWidget& window) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    // Runs where the window would show the error box, to look at the state then.
    std::function<void()> beforeErrorBox;
    ScriptedPrompts prompts;
    SymptomTable symptoms;
    Analysis analysis{symptoms};
    QTemporaryDir dir;
};

}  // namespace quorvane::testing
