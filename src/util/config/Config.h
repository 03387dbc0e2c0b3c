#pragma once

#include "util/config/ConfigObserver.h"

#include <string>

namespace util::config {

// What happened to a configuration last.
enum LastChange : int {
    NothingChanged = 0,
    TextParsed = 1,
    TextSaved = 2,
};

// The program's settings file: key=value lines and comment lines, read as a whole, queried
// by key, and changed by editing the text in place so that comments, order and unknown keys
// survive every write.
class Config {
public:
    virtual ~Config() = default;

    virtual void attach(ConfigObserver* observer) = 0;
    virtual void detach(ConfigObserver* observer) = 0;
    virtual void notify() = 0;
    virtual void loadFromText(const std::string& text) = 0;
    virtual void load(const std::string& fileName) = 0;
    virtual void reload() = 0;
    // An empty name writes the file last loaded.
    virtual void save(const std::string& fileName) = 0;
    virtual int getInt(const std::string& key) const = 0;
    virtual bool getBool(const std::string& key) const = 0;
    virtual std::string getString(const std::string& key) const = 0;
    virtual bool hasKey(const std::string& key) const = 0;
    virtual void setBool(const std::string& key, bool value) = 0;
    virtual void setInt(const std::string& key, int value) = 0;
    virtual void setString(const std::string& key, const std::string& value) = 0;
    virtual void commentKey(const std::string& key) = 0;
    virtual void removeKey(const std::string& key) = 0;
    virtual void uncommentKey(const std::string& key) = 0;
    virtual int getKeyCount() const = 0;
    virtual const std::string& getConfigText() const = 0;
    virtual int getLastChange() const = 0;
    virtual void setConfigText(const std::string& text) = 0;
};

}  // namespace util::config
