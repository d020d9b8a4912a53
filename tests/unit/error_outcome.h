#pragma once

#include <string>

#include "base/exception.h"
#include "base/text.h"

// What a call came to, as one comparable text: "ok", or the error kind and its message, so a
// table of cases can state the exact failure it expects.
template <typename Call>
std::string Outcome(Call&& call) {
  try {
    call();
    return "ok";
  } catch (const Exception& error) {
    const char* kind = "Exception";
    if (dynamic_cast<const EArgumentException*>(&error)) kind = "EArgumentException";
    if (dynamic_cast<const ENotSupportedException*>(&error)) kind = "ENotSupportedException";
    if (dynamic_cast<const EPathTooLongException*>(&error)) kind = "EPathTooLongException";
    if (dynamic_cast<const EDirectoryNotFoundException*>(&error)) kind = "EDirectoryNotFoundException";
    if (dynamic_cast<const EFileNotFoundException*>(&error)) kind = "EFileNotFoundException";
    if (dynamic_cast<const EInOutError*>(&error)) kind = "EInOutError";
    if (dynamic_cast<const EMaskException*>(&error)) kind = "EMaskException";
    return std::string(kind) + ": " + ToUtf8(error.Message());
  }
}
