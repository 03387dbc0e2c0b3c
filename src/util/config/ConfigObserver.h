#pragma once

namespace util::config {

class Config;

// Watches a configuration: told after every new text and after every save.
class ConfigObserver {
public:
    virtual ~ConfigObserver() = default;
    virtual void update(Config* subject) = 0;
};

}  // namespace util::config
