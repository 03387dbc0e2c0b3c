#pragma once

#include "os/Port.h"

namespace os {

// Installs a port for the lifetime of the object and puts the previous one back after it.
class ScopedInstall {
public:
    explicit ScopedInstall(const Port& port) : previous_(install(port)) {}
    ~ScopedInstall() { install(previous_); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

private:
    Port previous_;
};

}  // namespace os
