// The framework's exception classes. Every failure the framework reports is one of these;
// the message says what failed and where.
#pragma once

#include <stdexcept>
#include <string>

namespace framework {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

#define FW_EXCEPTION(TName, TBase)                                  \
  class TName : public TBase {                                      \
   public:                                                          \
    explicit TName(const std::string& message) : TBase(message) {} \
  }

// A list index out of range: the message is always "Index out of bounds.".
class EListError : public Exception {
 public:
  EListError() : Exception("Index out of bounds.") {}
  explicit EListError(const std::string& message) : Exception(message) {}
};
FW_EXCEPTION(EInvalidOwner, Exception);
FW_EXCEPTION(EInvalidOperation, Exception);
FW_EXCEPTION(EComponentError, Exception);
FW_EXCEPTION(EConvertError, Exception);
FW_EXCEPTION(EPropertyError, Exception);
FW_EXCEPTION(EFilerError, Exception);
FW_EXCEPTION(EWriteError, EFilerError);
FW_EXCEPTION(EFOpenError, EFilerError);
FW_EXCEPTION(EFCreateError, EFilerError);
FW_EXCEPTION(EResNotFound, Exception);
FW_EXCEPTION(EInvalidGraphic, Exception);

// A form text that cannot be read. Line() is the 1-based line of the input (0 when the
// failure is not tied to a place in the text); the message already names it.
class EReadError : public EFilerError {
 public:
  explicit EReadError(const std::string& message, int line = 0)
      : EFilerError(line > 0 ? "Line " + std::to_string(line) + ": " + message : message),
        FLine(line) {}
  int Line() const { return FLine; }

 private:
  int FLine;
};

// A class name that the class registry does not know.
class EClassNotFound : public EReadError {
 public:
  explicit EClassNotFound(const std::string& message, int line = 0) : EReadError(message, line) {}
};

#undef FW_EXCEPTION

}  // namespace framework
