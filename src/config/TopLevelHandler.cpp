#include "config/TopLevelHandler.h"

#include "config/configfile/ConfigLogicException.h"
#include "exceptions/NumberFormatException.h"
#include "platform/assertion/Assertion.h"
#include "util/config/ConfigException.h"
#include "windows/hook/HookException.h"

namespace products::pastrix::config {

namespace {

const char* const corruptConfig = "\n\nThe config file is corrupt, please reinstall the program.";

}  // namespace

bool runWithTopLevelHandlers(windows::reporter::ErrorReporter& reporter,
                             const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const windows::hook::HookException& e) {
        reporter.showError("An hook exception occured.\n" + e.getMessage());
    } catch (const configfile::ConfigLogicException& e) {
        reporter.showError("An config logic exception occured." + e.getMessage());
    } catch (const util::config::ParseException& e) {
        reporter.showError(e.getMessage() + corruptConfig);
    } catch (const util::config::KeyDoesNotExistException& e) {
        reporter.showError(e.getMessage() + corruptConfig);
    } catch (const exceptions::NumberFormatException& e) {
        reporter.showError(e.getMessage());
    } catch (const exceptions::Exception& e) {
        reporter.showError("An exception occured.\n" + e.getMessage());
    } catch (...) {
        reporter.showError("An ... occured. Please contact velbrook.");
        PX_ASSERT(false);
    }
    return false;
}

}  // namespace products::pastrix::config
