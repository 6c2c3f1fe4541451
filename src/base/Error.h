// An error with a message a user can read; the error type of every fallible call.
#pragma once
#include <string>

struct CError {
  std::string message;
};
