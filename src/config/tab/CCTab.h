#pragma once

#include "config/configfile/CCSettings.h"
#include "config/coolkeys/CoolKeyGenerator.h"
#include "config/workspace/Workspace.h"
#include "io/file/PlainFileReader.h"
#include "io/file/PlainFileWriter.h"
#include "windows/mfc/Dialog.h"
#include "windows/mfc/ListControl.h"
#include "windows/reporter/ErrorReporter.h"
#include "windows/reporter/InformationReporter.h"

#include <concepts>
#include <cstdint>
#include <string>

namespace products::pastrix::config::tab {

// The Cool Keys page. It switches Cool Keys on and off, lists the open workspace's Cool Keys
// newest first, adds and edits them through the abbreviation editor and deletes them. It
// also holds the generator that turns the user's typing into expansions; the property sheet
// hands it every key event of the hooks after the slot key handler.
class CCTab : public windows::mfc::PropertyPage {
public:
    // The page keeps the typed characters up to this limit (and twice as many at most).
    static constexpr std::uint32_t BufferLimit = 256;
    // The longest part of an associated text the list shows.
    static constexpr std::size_t SummaryLength = 200;

    CCTab(windows::reporter::ErrorReporter& errorReporter,
          windows::reporter::InformationReporter& informationReporter,
          workspace::Workspace& activeWorkspace, configfile::CCSettings& settings);
    // One reporter for errors and information alike.
    template <typename Reporter>
    requires std::derived_from<Reporter, windows::reporter::ErrorReporter> &&
        std::derived_from<Reporter, windows::reporter::InformationReporter>
        CCTab(Reporter& messageReporter, workspace::Workspace& activeWorkspace,
              configfile::CCSettings& settings)
        : CCTab(messageReporter, messageReporter, activeWorkspace, settings) {}
    ~CCTab() override;

    // One key event from the hooks: the virtual key and the hook's key data. A key going
    // down that types a character feeds the generator while Cool Keys are on and a
    // workspace is open. A text the keyboard cannot type is reported, not passed on.
    void onKey(unsigned virtualKey, std::uint32_t keyData);

    void setEnabled(bool isEnabled) { enabled = isEnabled; }
    bool isEnabled() const { return enabled; }
    const coolkeys::CoolKeyGenerator& getGenerator() const { return generator; }

    // What the list shows of an associated text: its first line within the first
    // SummaryLength characters, with "..." when that is not all of it.
    static std::string summary(const std::string& text);

protected:
    void doDataExchange(windows::mfc::DataExchange& exchange) override;
    bool onInitDialog() override;
    bool onSetActive() override;

private:
    void onEnabledCheck();
    void fillList();
    void onAdd();
    void onListDoubleClick();
    std::intptr_t onListKeyDown(const os::DialogEvent& event);
    // Runs the editor with the texts and saves what it ends with on OK. Typing in the
    // editor is never expanded.
    void openEditor(const std::string& abbreviation, const std::string& text);
    void deleteSelectedCoolKeys();

    bool enabled;
    windows::reporter::ErrorReporter& reporter;
    windows::reporter::InformationReporter& information;
    configfile::CCSettings& ccSettings;
    workspace::Workspace& workspace;
    coolkeys::CoolKeyGenerator generator{BufferLimit};
    windows::mfc::ListControl list;
    io::file::PlainFileReader reader;
    io::file::PlainFileWriter writer;
};

}  // namespace products::pastrix::config::tab
