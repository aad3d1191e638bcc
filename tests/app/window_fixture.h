// A main window with scripted dialogs, its own settings folder and output folder.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "app/window/dialogs.h"
#include "app/window/form1.h"
#include "app/window/list_view.h"

namespace brenvale::testing {

// Answers the window's questions as the test says and remembers what was asked.
class TScriptedDialogs : public TDialogs {
public:
    void Information(QWidget* parent, const QString& text) override;
    bool Confirmation(QWidget* parent, const QString& text) override;
    QStringList OpenFiles(QWidget* parent, const QStringList& name_filters) override;
    std::optional<QString> BrowseForFolder(QWidget* parent, const QString& headline, const QString& start) override;

    std::vector<QString> Informations;
    std::vector<QString> Confirmations;
    std::deque<bool> Answers;  // for the confirmations, No when empty
    QStringList FilesToOpen;
    std::function<void()> WhileOpenDialogShows;
    QStringList NameFilters;
    std::optional<QString> FolderToChoose;
    std::vector<QString> BrowseHeadlines;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window as the program does: start-up, settings, first show.
    void StartWindow();
    TForm1& Form() { return *form_; }
    TListView& List();
    template <class Control>
    Control* Find(const char* name) {
        auto* control = form_->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // Adds the standard clips through the open dialog.
    void AddClips(const std::vector<std::string>& clips);
    void ChooseFormat(int index);
    void UseOutputFolder();
    // Processes window events until `done` or the timeout.
    bool WaitFor(const std::function<bool()>& done, std::chrono::seconds timeout = std::chrono::seconds(120));
    // Converts and waits until the run has ended.
    bool ConvertAndWait();
    int CountInformations(const QString& text) const;
    // Messages "All Conversions Completed" followed by the run's counts.
    int CountCompletions() const;
    // The videos folder the desktop names for the test's user.
    std::filesystem::path VideosFolder() const;

    std::filesystem::path folder_;
    std::filesystem::path output_folder_;
    TScriptedDialogs dialogs_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace brenvale::testing
