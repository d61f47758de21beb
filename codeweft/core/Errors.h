// Exceptions of the core. File errors end a run; their message names the file
// and the system's reason.
#pragma once

#include <stdexcept>
#include <string>

namespace codeweft {

// A file could not be opened for reading: Cannot open file "x.pas": <reason>
class EFOpenError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// An output file could not be created: Cannot create file "x.html": <reason>
class EFCreateError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Writing to (or closing) an output file failed, e.g. the disk is full.
class EFWriteError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Reading or writing an open file failed: Cannot read file "x.pas": <reason>
class EInOutError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Builds the message of a file error from the verb ("open", "create", "read",
// "write"), the file name and an errno value.
std::string FileErrorMessage(const char *verb, const std::string &fileName, int errNo);

} // namespace codeweft
