#pragma once
// Errors are exceptions throughout the program. Every error carries the text
// that the user finally sees in a message box.
#include <stdexcept>
#include <string>

namespace odb {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// Data-access errors (the times table, the service component).
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

// A value outside its range (a field's range check, a count that does not fit).
class ERangeError : public Exception {
 public:
  using Exception::Exception;
};

// Text that does not convert (a time typed into the grid).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// The configuration file could not be written.
class EIniFileError : public Exception {
 public:
  using Exception::Exception;
};

// A backup that could not take its place among the generations.
class EBackupSetError : public Exception {
 public:
  using Exception::Exception;
};

// Text as the application's error box shows it: a full stop is appended when
// the last character sorts after ".".
std::string ErrorBoxText(const std::string& message);

}  // namespace odb
