#pragma once

#include <string>

namespace windows::reporter {

class InformationReporter {
public:
    virtual ~InformationReporter() = default;
    virtual void showInformation(const std::string& message) = 0;
};

}  // namespace windows::reporter
