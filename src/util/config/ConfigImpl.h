#pragma once

#include "io/file/FileReader.h"
#include "io/file/FileWriter.h"
#include "util/config/Config.h"

#include <map>
#include <string>
#include <vector>

namespace util::config {

// The configuration held as its whole text plus a table of its keys. Every edit changes the
// text in place and parses it again, so the table always reflects the text. A text that
// fails to parse is refused as a whole: the previous text and table stay, and nothing that
// was refused can reach the disk through a later save.
class ConfigImpl final : public Config {
public:
    // How the constructor reads its source.
    static constexpr int FromFile = 0;
    static constexpr int FromText = 1;

    // The reader and writer are not owned and must outlive the configuration.
    ConfigImpl(const std::string& source, int mode, io::file::FileReader& fileReader,
               io::file::FileWriter& fileWriter);
    ~ConfigImpl() override;
    ConfigImpl(const ConfigImpl&) = delete;
    ConfigImpl& operator=(const ConfigImpl&) = delete;

    void attach(ConfigObserver* observer) override;
    void detach(ConfigObserver* observer) override;
    void notify() override;
    void loadFromText(const std::string& text) override;
    void load(const std::string& name) override;
    void reload() override;
    void save(const std::string& name) override;
    int getInt(const std::string& key) const override;
    bool getBool(const std::string& key) const override;
    std::string getString(const std::string& key) const override;
    bool hasKey(const std::string& key) const override;
    void setBool(const std::string& key, bool value) override;
    void setInt(const std::string& key, int value) override;
    void setString(const std::string& key, const std::string& value) override;
    void commentKey(const std::string& key) override;
    void removeKey(const std::string& key) override;
    void uncommentKey(const std::string& key) override;
    int getKeyCount() const override;
    const std::string& getConfigText() const override;
    int getLastChange() const override;
    void setConfigText(const std::string& text) override;

private:
    // The sentences every message of the configuration ends its first part with.
    std::string errorDetails() const;
    // The position of the first line that starts with `pattern`, or npos.
    std::size_t findLineStart(const std::string& pattern) const;
    [[noreturn]] void throwKeyDoesNotExist(const std::string& lead, const std::string& key) const;
    // Refuses a key or value that would not survive as one key=value line.
    void checkStorable(const std::string& key, const std::string& value) const;

    std::vector<ConfigObserver*> observers;
    std::string fileName;
    std::string _configText;
    int lastChange = NothingChanged;
    io::file::FileReader& reader;
    io::file::FileWriter& writer;
    std::map<std::string, std::string> entries;
};

}  // namespace util::config
