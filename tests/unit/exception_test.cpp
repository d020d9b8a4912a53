#include "base/exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"

// The start-up failure box names the error by its kind, so each kind must report its own name,
// also when it is caught as the base kind.
TEST(Exception, EachKindReportsItsOwnName) {
  const std::vector<std::pair<std::string, std::function<void()>>> kinds = {
      {"Exception", [] { throw Exception(u"m"); }},
      {"EArgumentException", [] { throw EArgumentException(u"m"); }},
      {"ENotSupportedException", [] { throw ENotSupportedException(u"m"); }},
      {"EPathTooLongException", [] { throw EPathTooLongException(u"m"); }},
      {"EDirectoryNotFoundException", [] { throw EDirectoryNotFoundException(u"m"); }},
      {"EFileNotFoundException", [] { throw EFileNotFoundException(u"m"); }},
      {"EInOutError", [] { throw EInOutError(u"m"); }},
      {"EMaskException", [] { throw EMaskException(u"m"); }},
      {"EDatabaseError", [] { throw EDatabaseError(u"m"); }},
      {"EOleException", [] { throw EOleException(u"m"); }},
      {"EAbort", [] { throw EAbort(u"m"); }},
  };
  for (const auto& [name, raise] : kinds) {
    try {
      raise();
      ADD_FAILURE() << name << " was not raised";
    } catch (const Exception& error) {
      EXPECT_EQ(ToUtf8(error.KindName()), name);
      EXPECT_EQ(error.Message(), u"m");
    }
  }
}
