#pragma once
// A wizard window with a loaded project on the sim backend, for the
// installation and uninstallation runs: the project is saved beside the sim
// executable, FormCreate loads it, and the runs start from posted messages as
// the message loop would start them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "platform/sim/Sim.h"
#include "project/ProjectProperty_unit.h"
#include "ui/SetupMain_unit.h"

namespace runtest {

constexpr const char* kInstaller = "C:\\work\\Setup.exe";
constexpr const char* kInstallerProject = "C:\\work\\Setup.ini";
constexpr const char* kProgramBytes = "MZ the installer program";
constexpr const char* kListKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

inline std::string Key(const std::string& name) { return std::string(kListKey) + "\\" + name; }

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::ResetAll();
        plat::SetApplicationTitle("Orvane");
        sim::AddFile(kInstaller, kProgramBytes);
        project.Reset();
        project.SubDirectory = "Demo";
        project.UnInstallKey = "OrvaneDemo";
        project.UnInstallName = "Orvane デモ";
    }

    void TearDown() override {
        form.reset();
        uninstaller.reset();
    }

    // Saves `project` beside the installer and starts the wizard with it.
    void StartInstaller() {
        project.InstallMode = 0;
        project.Save(kInstallerProject);
        sim::SetExecutablePath(kInstaller);
        plat::HoldOwnProgram();  // as the program entry does
        form = std::make_unique<TSetupMainForm>();
        form->FormCreate();
        ASSERT_FALSE(form->Terminated());
        ASSERT_NE(form->Session.Project, nullptr);
    }

    // Moves to the progress page as the start button does and lets the
    // posted install message run.
    void RunInstallFromProgressPage() {
        form->ShowPage(form->PageCount - 2);
        ASSERT_EQ(form->PageBook.ActivePage(), &form->CopyProcessSheet);
        sim::DispatchPosted();
    }

    void Install(const std::string& location = "C:\\Program Files\\Demo") {
        StartInstaller();
        if (::testing::Test::HasFatalFailure()) return;
        form->LocationEdit.SetCaption(location);
        RunInstallFromProgressPage();
    }

    // Starts the installed copy as the uninstaller: it posts the uninstall
    // message, whose handler runs the uninstallation and closes the window.
    // `later` answers the questions that follow the confirmation.
    void Uninstall(const std::string& program, bool confirm = true,
                   const std::vector<plat::MsgAnswer>& later = {}) {
        sim::SetExecutablePath(program);
        plat::HoldOwnProgram();
        uninstaller = std::make_unique<TSetupMainForm>();
        uninstaller->FormCreate();
        ASSERT_FALSE(uninstaller->Terminated());
        ASSERT_NE(uninstaller->Session.Project->InstallMode, 0);
        sim::QueueAnswer(confirm ? plat::MsgAnswer::Yes : plat::MsgAnswer::No);
        for (plat::MsgAnswer answer : later) sim::QueueAnswer(answer);
        sim::DispatchPosted();
    }

    bool Closed(const std::unique_ptr<TSetupMainForm>& f) const { return f->Destroyed(); }

    TProjectProperty project;
    std::unique_ptr<TSetupMainForm> form;
    std::unique_ptr<TSetupMainForm> uninstaller;
};

}  // namespace runtest
