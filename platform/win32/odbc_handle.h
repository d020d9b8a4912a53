#pragma once

// clang-format off
#include <windows.h>
#include <sql.h>
#include <sqlext.h>
// clang-format on

#include "platform/win32/unique_handle.h"

// ODBC handles of each kind, freed with SQLFreeHandle. A connection handle must be disconnected
// before it is freed; OdbcConnection does that.
template <SQLSMALLINT kKind>
struct OdbcHandleTraits {
  using Type = SQLHANDLE;
  static Type Invalid() { return SQL_NULL_HANDLE; }
  static void Close(Type h) { SQLFreeHandle(kKind, h); }
};

using UniqueOdbcEnvironment = UniqueHandle<OdbcHandleTraits<SQL_HANDLE_ENV>>;
using UniqueOdbcConnection = UniqueHandle<OdbcHandleTraits<SQL_HANDLE_DBC>>;
using UniqueOdbcStatement = UniqueHandle<OdbcHandleTraits<SQL_HANDLE_STMT>>;
