#pragma once
// Errors of the service manager client.
#include "common/Errors.h"

namespace odb {

class EServiceError : public EDatabaseError {
 public:
  using EDatabaseError::EDatabaseError;
};

// A failure the component detects itself, before or without asking the server.
class EServiceClientError : public EServiceError {
 public:
  using EServiceError::EServiceError;
};

// A Services API call returned an error status.
class EServerError : public EServiceError {
 public:
  EServerError(const std::string& message, long sql_code, long error_code)
      : EServiceError(message), sql_code_(sql_code), error_code_(error_code) {}
  long SqlCode() const { return sql_code_; }
  long ErrorCode() const { return error_code_; }

 private:
  long sql_code_;
  long error_code_;
};

// The server refused the SQL role (SQL code -551).
class EServerRoleError : public EServerError {
 public:
  using EServerError::EServerError;
};

}  // namespace odb
