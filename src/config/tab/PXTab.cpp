#include "config/tab/PXTab.h"

#include "config/tab/DialogTemplates.h"
#include "platform/assertion/Assertion.h"
#include "util/NumberParser.h"
#include "windows/devices/keyboard/KeyHelper.h"

namespace products::pastrix::config::tab {

namespace {

namespace ids = templates::pxtab;

constexpr int DeleteKey = 46;
// The size limit shown when the stored one is none of the table's: "5 MB".
constexpr std::size_t FallbackLimit = 7;

// The controls that work only while slot gestures are enabled.
constexpr int dependentControls[] = {ids::UseToolTip,  ids::Clipboards, ids::FilterList,
                                     ids::KeyBox,      ids::Add,        ids::LimitLabel,
                                     ids::FilterLabel, ids::Limits};

}  // namespace

PXTab::PXTab(windows::reporter::InformationReporter& reporter, workspace::Workspace& openWorkspace,
             configfile::PXSettings& pxSettings)
    : PropertyPage(ids::dialogTemplate()),
      informationReporter(reporter),
      workspace(openWorkspace),
      settings(pxSettings),
      enabled(pxSettings.isEnabled() ? 1 : 0),
      useToolTip(pxSettings.getUseToolTip() ? 1 : 0),
      _limits{{"1 KB", 1000},      {"5 KB", 5000},      {"10 KB", 10000},      {"50 KB", 50000},
              {"100 KB", 100000},  {"500 KB", 500000},  {"1 MB", 1000000},     {"5 MB", 5000000},
              {"10 MB", 10000000}, {"50 MB", 50000000}, {"100 MB", 100000000}, {"Unlimited", 0}},
      executer(openWorkspace),
      keyHandler(executer, openWorkspace, enabled != 0, pxSettings.getFilterKeys()),
      viewer(openWorkspace, keyHandler),
      filterList(ids::FilterList),
      keyEdit(ids::KeyBox) {
    bind(filterList);
    bind(keyEdit);
    onClicked(ids::Enabled, [this] { onEnabled(); });
    onClicked(ids::UseToolTip, [this] { onToolTip(); });
    onClicked(ids::Add, [this] { addFilterKey(keyEdit.getVirtualKey()); });
    onClicked(ids::Clipboards, [this] { viewer.doModal(getHandle()); });
    on(os::Notification::KeyDown, ids::FilterList,
       [this](const os::DialogEvent& event) { return onFilterListKeyDown(event); });
    on(os::Notification::SelectionChanged, ids::Limits, [this](const os::DialogEvent&) {
        onSizeLimit();
        return std::intptr_t{0};
    });
}

void PXTab::attachToolTip(clipboard::PXToolTip* tip) {
    toolTip = tip;
    keyHandler.attachToolTip(tip);
}

void PXTab::doDataExchange(windows::mfc::DataExchange& exchange) {
    exchange.check(ids::Enabled, enabled);
    exchange.check(ids::UseToolTip, useToolTip);
}

bool PXTab::onInitDialog() {
    PropertyPage::onInitDialog();
    view().enableToolTips(true);
    filterList.setColumns({{"Key", 65}, {"Code", 20}}, os::lvs::GridLines | os::lvs::FullRowSelect);
    for (const int code : settings.getFilterKeys()) {
        addFilterKey(code);
    }
    std::size_t selected = FallbackLimit;
    const int stored = settings.getSerializeLimit();
    for (std::size_t i = 0; i < _limits.size(); ++i) {
        view().addComboItem(ids::Limits, _limits[i].first);
        if (static_cast<long long>(_limits[i].second) == stored) {
            selected = i;
        }
    }
    view().setComboSelection(ids::Limits, static_cast<int>(selected));
    return true;
}

bool PXTab::onSetActive() {
    onEnabled();
    return PropertyPage::onSetActive();
}

void PXTab::onEnabled() {
    updateData(true);
    const bool loaded = workspace.isLoaded();
    for (const int control : dependentControls) {
        view().enableControl(control, loaded && enabled != 0);
    }
    if (!loaded && enabled != 0) {
        enabled = 0;
        view().setCheck(ids::Enabled, false);
        informationReporter.showInformation(
            "You must select a workspace first. Do this under the System tab.");
    }
    keyHandler.setEnabled(enabled != 0);
    settings.setEnabled(enabled != 0);
    settings.save();
}

void PXTab::onToolTip() {
    updateData(true);
    if (toolTip != nullptr) {
        toolTip->setUseToolTip(useToolTip != 0);
    }
    settings.setUseToolTip(useToolTip != 0);
    settings.save();
}

void PXTab::onSizeLimit() {
    const auto item = static_cast<std::size_t>(view().getComboSelection(ids::Limits));
    PX_ASSERT(item < _limits.size());
    if (item >= _limits.size()) {
        return;
    }
    const std::uint32_t bytes = _limits[item].second;
    workspace.setSizeLimit(bytes);
    settings.setSerializeLimit(static_cast<int>(bytes));
    settings.save();
}

void PXTab::addFilterKey(int virtualKey) {
    if (!hasWindow()) {
        // The list is the window's: without it there is nothing to add to or store from.
        return;
    }
    if (virtualKey != 0) {
        const std::string name =
            windows::devices::keyboard::KeyHelper::getKeyName(static_cast<unsigned>(virtualKey));
        if (filterList.findItem(name) < 0) {
            filterList.addRow({name, std::to_string(static_cast<unsigned>(virtualKey))},
                              filterList.GetItemCount());
        }
    }
    takeFilterKeysFromList();
    storeFilterKeys();
}

std::intptr_t PXTab::onFilterListKeyDown(const os::DialogEvent& event) {
    if (event.value == DeleteKey && !filterList.getSelectedItems().empty()) {
        filterList.deleteSelectedItems();
        takeFilterKeysFromList();
        // Stored at once like every other change, so that the deleted keys stay deleted
        // after a restart.
        storeFilterKeys();
    }
    return 0;
}

void PXTab::takeFilterKeysFromList() {
    std::vector<int> codes;
    for (const std::string& code : filterList.getColumnTexts(1)) {
        codes.push_back(util::NumberParser::parseInt(code));
    }
    keyHandler.setFilterKeys(std::move(codes));
}

void PXTab::storeFilterKeys() {
    settings.setFilterKeys(keyHandler.getFilterKeys());
    settings.save();
}

}  // namespace products::pastrix::config::tab
