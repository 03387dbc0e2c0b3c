#pragma once

#include "config/configfile/SystemSettings.h"
#include "config/workspace/Workspace.h"
#include "windows/hook/KeyboardHook.h"
#include "windows/hook/MouseHook.h"
#include "windows/mfc/Dialog.h"
#include "windows/registry/RegistryTypes.h"
#include "windows/reporter/ErrorReporter.h"
#include "windows/reporter/SuccessReporter.h"

#include <concepts>
#include <string>

namespace products::pastrix::config::tab {

class PropertySheetBase;

// The System page: start after reboot, the switch for the whole program (both hooks), and
// the active workspace with buttons to create and delete workspaces. It keeps the sheet's
// title naming the open workspace. Every change is stored at once.
class SystemTab : public windows::mfc::PropertyPage {
public:
    // The auto-start entry.
    // The user's own start-at-logon entries: a user may write them without being an
    // administrator, unless the machine's, which earlier versions used.
    static constexpr windows::registry::HKEY RunRoot = windows::registry::HKEY_CURRENT_USER;
    static constexpr const char* RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* ProductName = "Pastrix";
    static constexpr const char* StartArguments = "-minimized";

    SystemTab(windows::reporter::ErrorReporter& errorReporter,
              windows::reporter::SuccessReporter& successReporter,
              workspace::Workspace& activeWorkspace, configfile::SystemSettings& settings,
              windows::hook::KeyboardHook& keyboard, windows::hook::MouseHook& mouse);
    // One reporter for errors and confirmations alike.
    template <typename Reporter>
    requires std::derived_from<Reporter, windows::reporter::ErrorReporter> &&
        std::derived_from<Reporter, windows::reporter::SuccessReporter>
        SystemTab(Reporter& messageReporter, workspace::Workspace& activeWorkspace,
                  configfile::SystemSettings& settings, windows::hook::KeyboardHook& keyboard,
                  windows::hook::MouseHook& mouse)
        : SystemTab(messageReporter, messageReporter, activeWorkspace, settings, keyboard, mouse) {}

    // The sheet whose title the page keeps; set before the sheet is shown.
    void setSheet(PropertySheetBase* sheet) { _sheet = sheet; }

    bool isStartAutomatically() const { return startAutomatically; }
    bool isEnabled() const { return enabled; }

protected:
    void doDataExchange(windows::mfc::DataExchange& exchange) override;
    bool onInitDialog() override;

private:
    void onStartAutomatically();
    void onEnabled();
    void onWorkspaceSelected();
    void onCreateWorkspace();
    void onDeleteWorkspace();
    // Starts or stops both hooks, keyboard first; failures are shown.
    void applyEnabled(bool flag);
    // Lists the workspace directories and opens the active one.
    void refillWorkspaces();
    void setSheetTitle(const std::string& workspaceName);

    windows::reporter::ErrorReporter& errorReporter;
    windows::reporter::SuccessReporter& successReporter;
    workspace::Workspace& workspace;
    configfile::SystemSettings& config;
    windows::hook::KeyboardHook& keyboardHook;
    windows::hook::MouseHook& mouseHook;
    PropertySheetBase* _sheet = nullptr;
    bool startAutomatically;
    bool enabled;
};

}  // namespace products::pastrix::config::tab
