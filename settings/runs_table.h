#pragma once

#include <string>

// The table that each run leaves its row in, as RunsTable in section [Kestrane] names it: empty
// when the key is absent or empty, which asks for no row. Otherwise the name is returned
// bracket-quoted for the statement ("[dbo].[KestraneRuns]").
// Raises Exception, naming the key, the value and the rule, for any value that is not a plain
// name or schema.name of ASCII letters, digits and "_", each part starting with a letter or "_"
// and at most 128 characters long: the name goes into a statement's text, so only a name that
// cannot carry anything else is accepted.
std::u16string QuotedRunsTable(const std::u16string& value);
