#pragma once

#include <memory>
#include <string>

// The error kinds of the program. Every failure carries its message as UTF-16 text; the window
// shows it in the error report, or a step turns it into a slot text or a log line.
class Exception {
 public:
  explicit Exception(std::u16string message) : message_(std::move(message)) {}
  Exception(std::u16string message, std::shared_ptr<const Exception> inner)
      : message_(std::move(message)), inner_(std::move(inner)) {}
  virtual ~Exception() = default;

  const std::u16string& Message() const { return message_; }
  // The kind's name, for the start-up failure box.
  virtual const char16_t* KindName() const { return u"Exception"; }
  // The error this one wraps, if any; the error report shows the innermost message.
  const Exception* Inner() const { return inner_.get(); }

 private:
  std::u16string message_;
  std::shared_ptr<const Exception> inner_;
};

#define KESTRANE_ERROR_KIND(Name)                                   \
  class Name : public Exception {                                   \
   public:                                                          \
    using Exception::Exception;                                     \
    const char16_t* KindName() const override { return u"" #Name; } \
  }

KESTRANE_ERROR_KIND(EArgumentException);
KESTRANE_ERROR_KIND(ENotSupportedException);
KESTRANE_ERROR_KIND(EPathTooLongException);
KESTRANE_ERROR_KIND(EDirectoryNotFoundException);
KESTRANE_ERROR_KIND(EFileNotFoundException);
KESTRANE_ERROR_KIND(EInOutError);
KESTRANE_ERROR_KIND(EMaskException);
KESTRANE_ERROR_KIND(EDatabaseError);
KESTRANE_ERROR_KIND(EOleException);
// The silent abort kind: it ends a handler without any report.
KESTRANE_ERROR_KIND(EAbort);

#undef KESTRANE_ERROR_KIND
