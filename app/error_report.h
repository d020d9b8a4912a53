#pragma once

#include <string>

class Exception;

// The text of the error report: the innermost non-empty message, with a full stop added when it
// ends in a character above ".".
std::u16string ErrorReportText(const Exception& error);
