#pragma once

#include <string>

namespace exceptions {

// The root of the program's exception tree. Exceptions are thrown by value and caught by
// reference; each carries one message text.
class Exception {
public:
    explicit Exception(std::string message);
    virtual ~Exception();
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;

    virtual std::string getMessage() const;

private:
    std::string message;
};

}  // namespace exceptions

// Declares an exception class that adds nothing to its base but its name.
#define PASTRIX_DECLARE_EXCEPTION(Name, Base) \
    class Name : public Base {                \
        using BaseException = Base;           \
                                              \
    public:                                   \
        using BaseException::BaseException;   \
    }
