#include "config/Pastrix.h"

#include "config/TopLevelHandler.h"
#include "config/clipboard/PXToolTipFactory.h"
#include "config/configfile/CCSettings.h"
#include "config/configfile/ConfigLogicException.h"
#include "config/configfile/PXSettings.h"
#include "config/configfile/SupportSettings.h"
#include "config/configfile/SystemSettings.h"
#include "config/tab/AboutTab.h"
#include "config/tab/CCTab.h"
#include "config/tab/NewsletterDialog.h"
#include "config/tab/PXTab.h"
#include "config/tab/PropertySheetBase.h"
#include "config/tab/SystemTab.h"
#include "config/workspace/Workspace.h"
#include "encryption/simple/XORFileReader.h"
#include "encryption/simple/XORFileWriter.h"
#include "exceptions/Exception.h"
#include "os/Port.h"
#include "platform/ProductInfo.h"
#include "platform/assertion/AssertionListenerInstaller.h"
#include "util/config/ConfigImpl.h"
#include "util/newsletter/SimpleSignUp.h"
#include "util/parser/ArgumentParserHelpers.h"
#include "util/parser/CommandLineConverter.h"
#include "windows/file/WindowsFileHelper.h"
#include "windows/hook/HookLibrary.h"
#include "windows/hook/KeyboardHook.h"
#include "windows/hook/MouseHook.h"
#include "windows/info/SystemInformation.h"
#include "windows/process/AttachThreadInputLibrary.h"
#include "windows/reporter/ErrorReporterAssertionListener.h"
#include "windows/reporter/MessageBoxReporter.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace products::pastrix::config {

namespace {

using windows::reporter::MessageBoxReporter;

const char* const ConfigFileName = "config.cfg";

// A running hook is stopped here rather than in its destructor, so that a failure to
// remove it reaches the top-level handlers as an exception.
template <typename HookType>
void stopAndDestroy(std::unique_ptr<HookType>& hook) {
    if (hook->isRunning()) {
        hook->stop();
    }
    hook.reset();
}

std::uint32_t sizeLimit(const configfile::PXSettings& settings) {
    const int limit = settings.getSerializeLimit();
    if (limit < 0) {
        // A negative limit would turn into a huge one and save every slot.
        throw configfile::ConfigLogicException(
            "The size limit of saved clipboard slots (PX_SerializeLimit) must not be "
            "negative.\n");
    }
    return static_cast<std::uint32_t>(limit);
}

// The pages, the settings window and the newsletter offer, from the settings groups to the
// end of the window's run.
void runSettingsWindow(MessageBoxReporter& reporter, ::util::config::ConfigImpl& config,
                       windows::hook::KeyboardHook& keyboardHook,
                       windows::hook::MouseHook& mouseHook, bool startMinimized) {
    configfile::SystemSettings systemSettings(config, reporter);
    configfile::PXSettings pxSettings(config, reporter);
    configfile::CCSettings ccSettings(config, reporter);
    configfile::SupportSettings supportSettings(config, reporter);

    workspace::Workspace workspace(reporter, sizeLimit(pxSettings));
    clipboard::PXToolTipFactory toolTipFactory(workspace, pxSettings.getUseToolTip());

    tab::SystemTab systemPage(reporter, workspace, systemSettings, keyboardHook, mouseHook);
    tab::PXTab slotPage(reporter, workspace, pxSettings);
    // The hook keeps the gesture taps of these keys from the application in front.
    slotPage.getKeyHandler().setSlotKeysListener(
        [&keyboardHook](const tab::SlotKeyHandler::SlotKeys& keys) {
            keyboardHook.setSlotKeys(keys);
        });
    // What the user typed while a copy or paste ran reaches the application after it.
    slotPage.getKeyHandler().setGestureEndListener(
        [&keyboardHook] { keyboardHook.releaseTyping(); });
    clipboard::KeystrokeTable keystrokes;
    const std::string keystrokeProblems = keystrokes.addFile(clipboard::KeystrokeTable::FileName);
    if (!keystrokeProblems.empty()) {
        // The other lines and the shipped entries still count; the file stays as it is.
        reporter.showError("These lines of the keystroke table were left out:\n" +
                           keystrokeProblems);
    }
    slotPage.setKeystrokes(std::move(keystrokes));
    tab::CCTab coolKeysPage(reporter, workspace, ccSettings);
    tab::AboutTab aboutPage(reporter, platform::ProductName, supportSettings);
    tab::PropertySheetBase sheet(reporter, config, slotPage, coolKeysPage, platform::ProductName,
                                 toolTipFactory, startMinimized);
    systemPage.setSheet(&sheet);
    sheet.addPage(systemPage);
    sheet.addPage(slotPage);
    sheet.addPage(coolKeysPage);
    sheet.addPage(aboutPage);

    tab::NewsletterDialog newsletter(Pastrix::NewsletterBitmap, reporter);
    ::util::newsletter::SimpleSignUp::runSignUp(reporter, reporter, newsletter, config,
                                                platform::ProductName);

    sheet.DoModal();
}

// Everything that runs under the top-level handlers.
void runApplication(MessageBoxReporter& reporter, const std::string& programDirectory) {
    const ::util::parser::CommandLineConverter commandLine;
    const bool startMinimized =
        Pastrix::startsMinimized(commandLine.getArgc(), commandLine.getArgv());

    windows::reporter::ErrorReporterAssertionListener assertionListener(reporter);
    const platform::AssertionListenerInstaller assertionListenerInstaller(assertionListener);

    encryption::simple::XORFileReader reader;
    encryption::simple::XORFileWriter writer;
    ::util::config::ConfigImpl config(ConfigFileName, ::util::config::ConfigImpl::FromFile, reader,
                                      writer);

    // The library beside the program, never one found elsewhere on the library path.
    const std::string hookLibrary = programDirectory + windows::hook::LibraryFileName;
    auto keyboardHook = std::make_unique<windows::hook::KeyboardHook>(hookLibrary);
    auto mouseHook = std::make_unique<windows::hook::MouseHook>(hookLibrary);
    auto threadRegistration =
        std::make_unique<windows::process::AttachThreadInputLibrary>(hookLibrary);
    if (threadRegistration->getAttachThreadInputId() != 0) {
        reporter.showError(
            "Some modules are stil initialized (AttachThreadInput). Shutdown all runnig "
            "applications and try again.");
        return;
    }
    threadRegistration->setAttachThreadInputId(os::threads().getCurrentThreadId());

    runSettingsWindow(reporter, config, *keyboardHook, *mouseHook, startMinimized);

    threadRegistration.reset();
    stopAndDestroy(mouseHook);
    stopAndDestroy(keyboardHook);
}

}  // namespace

bool Pastrix::startsMinimized(int argc, const char* const* argv) {
    return argc == 2 && argv != nullptr && argv[1] != nullptr &&
           std::strcmp(argv[1], MinimizedArgument) == 0;
}

void Pastrix::run() {
    MessageBoxReporter reporter(platform::ProductName);

    bool refused = false;
    // The version query is the one check that can fail; its failure is shown like any other.
    if (!runWithTopLevelHandlers(reporter, [&] { refused = windows::info::isWindows95(); })) {
        return;
    }
    if (refused) {
        reporter.showError(
            "This software is not intended to run on Windows 95. It's only Windows "
            "98/ME/NT/2000/XP compatible.\n");
        return;
    }

    if (os::windows().findWindow(clipboard::PXToolTipFactory::ClassName) != 0) {
        reporter.showError(std::string(platform::ProductName) + " is already running.\n");
        return;
    }

    std::string programDirectory;
    try {
        programDirectory = ::util::parser::ArgumentParserHelpers::getProgramDirectory();
        windows::file::WindowsFileHelper::setCurrentDirectory(programDirectory);
    } catch (const exceptions::Exception& e) {
        reporter.showError(
            "Error getting the application directory and setting that as the current "
            "directory: " +
            e.getMessage());
        return;
    }

    runWithTopLevelHandlers(reporter, [&] { runApplication(reporter, programDirectory); });
}

}  // namespace products::pastrix::config
