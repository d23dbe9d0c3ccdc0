// Reading a failure caught as std::exception_ptr: its message text and whether it is the silent
// abort. Shared by the default display and the application-wide handler.
#pragma once

#include <exception>
#include <string>

// The message text of `failure`: Message() of the system's exceptions, what() of any other
// standard exception, "Unknown failure" for anything else. REQUIRES: failure is not null.
std::string FailureMessage(const std::exception_ptr& failure);

// Whether `failure` is an EAbort (or descendant). REQUIRES: failure is not null.
bool IsSilentAbort(const std::exception_ptr& failure);
