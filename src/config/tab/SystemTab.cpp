#include "config/tab/SystemTab.h"

#include "config/tab/DialogTemplates.h"
#include "config/tab/NewWorkspaceDialog.h"
#include "config/tab/PropertySheetBase.h"
#include "config/workspace/WorkspaceDirectory.h"
#include "exceptions/Exception.h"
#include "os/Dialogs.h"
#include "platform/assertion/Assertion.h"
#include "windows/file/WindowsFileException.h"
#include "windows/file/WindowsFileHelper.h"
#include "windows/registry/RegistryException.h"
#include "windows/registry/RegistryHelpers.h"
#include "windows/registry/RegistrySupport.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace products::pastrix::config::tab {

namespace {

namespace ids = templates::system;
namespace registry = windows::registry;
namespace files = windows::file;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

SystemTab::SystemTab(windows::reporter::ErrorReporter& errors,
                     windows::reporter::SuccessReporter& successes,
                     workspace::Workspace& activeWorkspace, configfile::SystemSettings& settings,
                     windows::hook::KeyboardHook& keyboard, windows::hook::MouseHook& mouse)
    : PropertyPage(ids::dialogTemplate()),
      errorReporter(errors),
      successReporter(successes),
      workspace(activeWorkspace),
      config(settings),
      keyboardHook(keyboard),
      mouseHook(mouse),
      startAutomatically(settings.getStartAutomatically()),
      enabled(settings.isEnabled()) {
    onClicked(ids::StartAutomatically, [this] { onStartAutomatically(); });
    onClicked(ids::Enabled, [this] { onEnabled(); });
    onClicked(ids::CreateWorkspace, [this] { onCreateWorkspace(); });
    onClicked(ids::DeleteWorkspace, [this] { onDeleteWorkspace(); });
    on(os::Notification::SelectionChanged, ids::Workspaces,
       [this](const os::DialogEvent&) -> std::intptr_t {
           onWorkspaceSelected();
           return 0;
       });
}

void SystemTab::doDataExchange(windows::mfc::DataExchange& exchange) {
    exchange.check(ids::StartAutomatically, startAutomatically);
    exchange.check(ids::Enabled, enabled);
}

bool SystemTab::onInitDialog() {
    PropertyPage::onInitDialog();
    view().enableToolTips(true);
    refillWorkspaces();
    applyEnabled(enabled);
    return true;
}

void SystemTab::applyEnabled(bool flag) {
    try {
        if (flag) {
            const os::WindowHandle m_hWnd = getHandle();
            PX_ASSERT(m_hWnd);
            // A hook that runs already stays as it is: starting it again would fail.
            if (!keyboardHook.isRunning()) {
                keyboardHook.start(m_hWnd);
            }
            if (!mouseHook.isRunning()) {
                mouseHook.start(m_hWnd);
            }
        } else {
            // Only running hooks are stopped, so that starting switched off reports nothing.
            if (keyboardHook.isRunning()) {
                keyboardHook.stop();
            }
            if (mouseHook.isRunning()) {
                mouseHook.stop();
            }
        }
    } catch (const exceptions::Exception& e) {
        errorReporter.showError(e.getMessage());
    }
}

void SystemTab::onEnabled() {
    updateData(true);
    applyEnabled(enabled);
    config.setEnabled(enabled);
    config.save();
}

void SystemTab::onStartAutomatically() {
    updateData(true);
    try {
        registry::RegistrySupport entry(RunRoot, RunKey, ProductName, StartArguments, "");
        // Earlier versions wrote the entry for the whole machine. One that starts this program
        // is kept (removing it takes an administrator); any other goes, or the program would
        // start twice, or still start after the box is cleared. Desktops that keep one start-up
        // file per name share it between the two, so the user's entry is written after the
        // machine's is gone.
        registry::RegistrySupport machine(registry::HKEY_LOCAL_MACHINE, RunKey, ProductName,
                                          StartArguments, "");
        const bool machineEntry =
            registry::registryValueExists(registry::HKEY_LOCAL_MACHINE, RunKey, ProductName);
        if (startAutomatically) {
            if (!machineEntry || !machine.isRegistered()) {
                if (machineEntry) {
                    machine.removeFromRegistry();
                }
                bool registered = false;
                try {
                    registered = entry.isRegistered();
                } catch (const registry::RegistryKeyNotFoundException&) {
                    // A desktop that has never had an entry has no key yet; adding makes it.
                }
                if (!registered || machineEntry) {
                    entry.addToRegistry();
                }
            }
        } else {
            if (registry::registryValueExists(RunRoot, RunKey, ProductName)) {
                entry.removeFromRegistry();
            }
            if (machineEntry) {
                machine.removeFromRegistry();
            }
        }
    } catch (const registry::RegistryException& e) {
        errorReporter.showError("Error when trying to add it to the registry.\n" + e.getMessage());
        startAutomatically = false;
        view().setCheck(ids::StartAutomatically, false);
    } catch (const files::CouldNotGetModuleFileNameException& e) {
        // Without the program's path there is nothing to start: the same as a refusal.
        errorReporter.showError("Error when trying to add it to the registry.\n" + e.getMessage());
        startAutomatically = false;
        view().setCheck(ids::StartAutomatically, false);
    }
    config.setStartAutomatically(startAutomatically);
    config.save();
}

void SystemTab::refillWorkspaces() {
    try {
        view().resetCombo(ids::Workspaces);
        const std::string& root = workspace.getBaseDirectory();
        std::vector<std::string> names;
        for (const std::string& path : files::WindowsFileHelper::getFirstLevelDirectories(root)) {
            // The listing gives the root and the name; the name is what the user sees.
            names.push_back(path.compare(0, root.size(), root) == 0 ? path.substr(root.size())
                                                                    : path);
        }
        const std::string active = config.getActiveWorkspace();
        std::optional<std::string> match;
        for (const std::string& name : names) {
            view().addComboItem(ids::Workspaces, name);
            // Letter case aside; the exact spelling wins where two differ only in case.
            if (lower(name) == lower(active) && (!match || name == active)) {
                match = name;
            }
        }
        if (active.empty()) {
            return;
        }
        if (!match) {
            errorReporter.showError(
                "Could not find the last active workspace. Maybe it has been deleted.\nWorkspace "
                "name: " +
                active + "\nWorkspace directory: " + root + active);
            config.setActiveWorkspace("");
            config.save();
            return;
        }
        for (int index = 0; index < static_cast<int>(names.size()); ++index) {
            if (view().getComboItemText(ids::Workspaces, index) == *match) {
                view().setComboSelection(ids::Workspaces, index);
                break;
            }
        }
        onWorkspaceSelected();
    } catch (const exceptions::Exception& e) {
        errorReporter.showError(e.getMessage());
    }
}

void SystemTab::onWorkspaceSelected() {
    const int selected = view().getComboSelection(ids::Workspaces);
    if (selected < 0) {
        // Opening "" would open the root itself.
        return;
    }
    const std::string name = view().getComboItemText(ids::Workspaces, selected);
    config.setActiveWorkspace(name);
    config.save();
    workspace.open(config.getActiveWorkspace());
    if (!workspace.isLoaded()) {
        view().setComboSelection(ids::Workspaces, -1);
    }
    setSheetTitle(workspace.getName());
}

void SystemTab::setSheetTitle(const std::string& workspaceName) {
    PX_ASSERT(_sheet);
    if (_sheet != nullptr) {
        _sheet->SetTitle(workspaceName + " - " + ProductName);
    }
}

void SystemTab::onCreateWorkspace() {
    NewWorkspaceDialog dialog(errorReporter, workspace.getBaseDirectory(), getHandle());
    if (dialog.DoModal() != os::id::Ok) {
        return;
    }
    config.setActiveWorkspace(dialog.getName());
    config.save();
    refillWorkspaces();
}

void SystemTab::onDeleteWorkspace() {
    updateData(true);
    const std::string name = config.getActiveWorkspace();
    if (name.empty()) {
        errorReporter.showError("You must select a workspace first.");
        return;
    }
    const int answer = view().messageBox(
        "Are you sure you want to delete the workspace " + name + " permanentely?", "Warning",
        os::mb::YesNo | os::mb::IconQuestion);
    if (answer != os::id::Yes) {
        return;
    }
    const std::string& root = workspace.getBaseDirectory();
    try {
        // The stored name comes from a file the user can edit: only a folder right inside the
        // root may go, and a folder that is a link loses only the link.
        workspace::WorkspaceDirectory::remove(root, name);
        workspace.clear();
        successReporter.showSuccess("The workspace was successfully removed.");
        config.setActiveWorkspace("");
        config.save();
        setSheetTitle(workspace.getName());
        refillWorkspaces();
    } catch (const files::WindowsFileException& e) {
        errorReporter.showError("Error when trying to delete the workspace " + name + ".\nPath " +
                                root + "\n" + e.getMessage());
    }
}

}  // namespace products::pastrix::config::tab
