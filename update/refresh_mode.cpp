#include "update/refresh_mode.h"

#include "base/ascii_case.h"
#include "base/exception.h"

RefreshMode ParseRefreshMode(const std::u16string& value) {
  if (EqualsIgnoringAsciiCase(value, u"all")) return RefreshMode::All;
  if (EqualsIgnoringAsciiCase(value, u"changed")) return RefreshMode::Changed;
  throw Exception(u"The value \"" + value +
                  u"\" of Refresh in section [Kestrane] of VUZuze16.cnf is not accepted: "
                  u"use all or changed");
}
