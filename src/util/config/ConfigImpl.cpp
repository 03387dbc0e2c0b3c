#include "util/config/ConfigImpl.h"

#include "exceptions/NumberFormatException.h"
#include "platform/assertion/Assertion.h"
#include "util/NumberParser.h"
#include "util/config/ConfigException.h"
#include "util/parser/StringTokenizerImpl.h"

#include <algorithm>
#include <ios>

namespace util::config {

using std::string;

namespace {

const char* const lineBreaks = "\r\n";
const char* const textHeading = "\n\nConfiguration text:\n";

// Shows line breaks in a message without breaking its lines.
string visible(const string& text) {
    string shown;
    for (const char c : text) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace

ConfigImpl::ConfigImpl(const string& source, int mode, io::file::FileReader& fileReader,
                       io::file::FileWriter& fileWriter)
    : reader(fileReader), writer(fileWriter) {
    if (mode == FromFile) {
        load(source);
    } else if (mode == FromText) {
        setConfigText(source);
    } else {
        PX_ASSERT(false);
    }
    lastChange = NothingChanged;
}

ConfigImpl::~ConfigImpl() = default;

string ConfigImpl::errorDetails() const {
    return "Error details:\nProblems in the configuration file loader (ConfigImpl).\nFilename: " +
           fileName + "\n";
}

void ConfigImpl::attach(ConfigObserver* observer) {
    if (std::find(observers.begin(), observers.end(), observer) == observers.end()) {
        observers.push_back(observer);
    }
}

void ConfigImpl::detach(ConfigObserver* observer) {
    observers.erase(std::remove(observers.begin(), observers.end(), observer), observers.end());
}

void ConfigImpl::notify() {
    // An observer may detach itself while it is told.
    const std::vector<ConfigObserver*> toldNow = observers;
    for (ConfigObserver* observer : toldNow) {
        observer->update(this);
    }
}

void ConfigImpl::loadFromText(const string& text) {
    setConfigText(text);
}

void ConfigImpl::load(const string& name) {
    const string text = reader.read(name, 0);
    // The messages of a failed parse name the file being loaded; after the failure the
    // configuration still belongs to the file it came from.
    const string previousName = fileName;
    fileName = name;
    try {
        setConfigText(text);
    } catch (...) {
        fileName = previousName;
        throw;
    }
}

void ConfigImpl::reload() {
    load(fileName);
}

void ConfigImpl::save(const string& name) {
    writer.write(name.empty() ? fileName : name, _configText, std::ios_base::openmode{});
    lastChange = TextSaved;
    notify();
}

int ConfigImpl::getInt(const string& key) const {
    return NumberParser::parseInt(getString(key));
}

bool ConfigImpl::getBool(const string& key) const {
    const string value = getString(key);
    if (value == "true" || value == "TRUE" || value == "1") {
        return true;
    }
    if (value == "false" || value == "FALSE" || value == "0") {
        return false;
    }
    throw exceptions::NumberFormatException(
        "The value, " + value + ", could not be converted into a boolean. " + errorDetails());
}

string ConfigImpl::getString(const string& key) const {
    const auto entry = entries.find(key);
    if (entry == entries.end()) {
        throwKeyDoesNotExist("The key does not exist. ", key);
    }
    return entry->second;
}

bool ConfigImpl::hasKey(const string& key) const {
    return entries.count(key) != 0;
}

void ConfigImpl::setBool(const string& key, bool value) {
    setString(key, value ? "true" : "false");
}

void ConfigImpl::setInt(const string& key, int value) {
    setString(key, std::to_string(value));
}

void ConfigImpl::setString(const string& key, const string& value) {
    checkStorable(key, value);
    const std::size_t pos = findLineStart(key + "=");
    string text = _configText;
    if (pos == string::npos) {
        // A bare line feed on both sides, whatever breaks the file uses: the parser skips the
        // empty line this may leave.
        text += "\n" + key + "=" + value + "\n";
    } else {
        const string current = getString(key);
        text.replace(pos + key.size() + 1, current.size(), value);
    }
    setConfigText(text);
}

void ConfigImpl::commentKey(const string& key) {
    getString(key);
    const std::size_t pos = findLineStart(key + "=");
    PX_ASSERT(pos != string::npos);
    if (pos == string::npos) {
        return;
    }
    string text = _configText;
    text.insert(pos, "#");
    setConfigText(text);
}

void ConfigImpl::removeKey(const string& key) {
    const std::size_t pos = findLineStart(key + "=");
    if (pos == string::npos) {
        return;
    }
    // The line ends at its first line break of either kind; the break itself stays, so the
    // lines around keep theirs.
    std::size_t end = _configText.find_first_of(lineBreaks, pos);
    if (end == string::npos) {
        end = _configText.size();
    }
    string text = _configText;
    text.erase(pos, end - pos);
    setConfigText(text);
}

void ConfigImpl::uncommentKey(const string& key) {
    const std::size_t pos = findLineStart("#" + key + "=");
    if (pos == string::npos) {
        throwKeyDoesNotExist("Could not find the commented key. ", key);
    }
    string text = _configText;
    text.erase(pos, 1);
    setConfigText(text);
}

int ConfigImpl::getKeyCount() const {
    return static_cast<int>(entries.size());
}

const string& ConfigImpl::getConfigText() const {
    return _configText;
}

int ConfigImpl::getLastChange() const {
    return lastChange;
}

void ConfigImpl::setConfigText(const string& text) {
    if (text == _configText) {
        return;
    }
    // The new table replaces the old one only when every line passed; until then the
    // previous text and table stay in force.
    std::map<string, string> table;
    parser::StringTokenizerImpl lines(text, lineBreaks);
    unsigned lineNumber = 0;
    while (lines.hasMoreTokens()) {
        const string line = lines.nextToken();
        ++lineNumber;
        PX_ASSERT(line.size());
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const string where = " Line: " + line + " LineNumber: " + std::to_string(lineNumber);
        // A line that starts with "=" has no key to look it up by.
        if (parser::StringTokenizerImpl(line, "=").countTokens() < 2 || line[0] == '=') {
            const string lead = "Parse error. The line is not a valid key=value line. ";
            throw ParseException(lead + errorDetails() + textHeading + text,
                                 lead + errorDetails() + where);
        }
        const std::size_t separator = line.find('=');
        const string key = line.substr(0, separator);
        if (table.count(key) != 0) {
            const string lead = "Duplicate key found while parsing. ";
            throw ParseException(lead + errorDetails() + textHeading + text,
                                 lead + errorDetails() + where);
        }
        table.emplace(key, line.substr(separator + 1));
    }
    _configText = text;
    entries = std::move(table);
    lastChange = TextParsed;
    notify();
}

std::size_t ConfigImpl::findLineStart(const string& pattern) const {
    std::size_t pos = _configText.find(pattern);
    while (pos != string::npos) {
        if (pos == 0 || _configText[pos - 1] == '\r' || _configText[pos - 1] == '\n') {
            return pos;
        }
        PX_ASSERT(pos < _configText.size());
        pos = _configText.find(pattern, pos + 1);
    }
    return string::npos;
}

void ConfigImpl::throwKeyDoesNotExist(const string& lead, const string& key) const {
    const string shortText = lead + errorDetails() + " Key: '" + key + "'";
    throw KeyDoesNotExistException(shortText + textHeading + _configText, shortText);
}

void ConfigImpl::checkStorable(const string& key, const string& value) const {
    if (key.empty() || key[0] == '#' || key.find_first_of("=\r\n") != string::npos) {
        const string shortText =
            "The key cannot be stored in the configuration file. A key must not be empty, must "
            "not start with '#' and must hold neither '=' nor a line break. " +
            errorDetails() + " Key: '" + visible(key) + "'";
        throw InvalidValueException(shortText + textHeading + _configText, shortText);
    }
    if (value.find_first_not_of('=') == string::npos ||
        value.find_first_of(lineBreaks) != string::npos) {
        const string shortText =
            "The value cannot be stored in the configuration file. A value must not be empty, "
            "must hold a character other than '=' and must hold no line break. " +
            errorDetails() + " Key: '" + key + "' Value: '" + visible(value) + "'";
        throw InvalidValueException(shortText + textHeading + _configText, shortText);
    }
}

}  // namespace util::config
