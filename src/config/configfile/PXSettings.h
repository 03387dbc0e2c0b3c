#pragma once

#include "config/configfile/Settings.h"

#include <vector>

namespace products::pastrix::config::configfile {

// The slot clipboards: switch, size limit for saved slots, tooltip and filter keys.
class PXSettings : public Settings {
public:
    using Settings::Settings;

    // The filter keys must be virtual-key codes, 1 to 254.
    void validate() override;

    virtual bool isEnabled() const;
    virtual int getSerializeLimit() const;
    virtual int getSerializeMethod() const;
    virtual bool getUseSmartSave() const;
    virtual bool getUseToolTip() const;
    virtual void setEnabled(bool enabled);
    virtual void setSerializeLimit(int limit);
    virtual void setSerializeMethod(int method);
    virtual void setUseSmartSave(bool useSmartSave);
    virtual void setUseToolTip(bool useToolTip);

    // The keys that are never slots, in stored order; no range check (see validate).
    std::vector<int> getFilterKeys() const;
    void setFilterKeys(const std::vector<int>& codes);
};

}  // namespace products::pastrix::config::configfile
