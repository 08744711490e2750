// The exception types of the program. Every failure carries the exact text
// the user is shown; what() gives the same text in UTF-8 for tools and tests.
#pragma once

#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>

// Where in a text a fault lies: line and column from 1; 0 when not known.
struct TTextPlace {
  int Line = 0;
  int Column = 0;
};

class Exception : public std::exception {
 public:
  explicit Exception(std::u16string message);
  explicit Exception(std::string_view asciiMessage);
  const std::u16string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FUtf8.c_str(); }
  // Set by the settings reader, so that a message can point into the file.
  TTextPlace Place;

 private:
  std::u16string FMessage;
  std::string FUtf8;
};

// Syntax errors of the object-text reader ("... on line N").
class EParserError : public Exception { using Exception::Exception; };
// A value that cannot be converted, and "Cannot assign a %s to a %s".
class EConvertError : public Exception { using Exception::Exception; };
// Applying a read value to an object ("Error reading ...").
class EReadError : public Exception { using Exception::Exception; };
class EClassNotFound : public Exception { using Exception::Exception; };
// File failures: "Cannot open file", "Cannot create file", "Stream write error".
class EStreamError : public Exception { using Exception::Exception; };
// The system refused a resource: "Cannot create shell notification icon".
class EOutOfResources : public Exception { using Exception::Exception; };

// The text the user is shown for any failure: ours carry it, others give
// what() in UTF-8.
std::u16string ExceptionMessage(const std::exception& e);

// Replaces each "%s" in `pattern` by the next argument, in order.
std::u16string Format(std::u16string_view pattern,
                      std::initializer_list<std::u16string_view> args);
