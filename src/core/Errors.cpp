#include "core/Errors.h"

#include "core/TextCodec.h"

Exception::Exception(std::u16string message)
    : FMessage(std::move(message)), FUtf8(Utf16ToUtf8(FMessage)) {}

Exception::Exception(std::string_view asciiMessage)
    : Exception(Widen(asciiMessage)) {}

std::u16string ExceptionMessage(const std::exception& e) {
  const auto* ours = dynamic_cast<const Exception*>(&e);
  return ours ? ours->Message() : Utf8ToUtf16(e.what());
}

std::u16string Format(std::u16string_view pattern,
                      std::initializer_list<std::u16string_view> args) {
  std::u16string out;
  auto arg = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u's' &&
        arg != args.end()) {
      out += *arg++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}
