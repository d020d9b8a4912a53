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
    return ToUtf8(error.KindName()) + ": " + ToUtf8(error.Message());
  }
}
