#include "platform/rules/query_result.h"

#include <gtest/gtest.h>

#include "base/exception.h"

using platform::QueryResult;

TEST(QueryResult, FieldsComeFromTheFirstRowByNameWithoutCase) {
  const QueryResult result({u"ftphost", u"FTPPATH"}, {{u"h1", u""}, {u"h2", u"G"}});
  EXPECT_FALSE(result.Empty());
  EXPECT_EQ(result.FirstRowField(u"ADOQuery1", u"FTPHost"), u"h1");
  EXPECT_EQ(result.FirstRowField(u"ADOQuery1", u"FtpPath"), u"");
}

TEST(QueryResult, AMissingColumnNamesTheComponentAndTheColumn) {
  const QueryResult result({u"FTPHost"}, {{u"h"}});
  try {
    result.FirstRowField(u"ADOQuery1", u"TempEXEPath");
    FAIL();
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(error.Message(), u"ADOQuery1: Field 'TempEXEPath' not found");
  }
  EXPECT_TRUE(QueryResult({u"FTPHost"}, {}).Empty());
}
