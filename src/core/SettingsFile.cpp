#include "core/SettingsFile.h"

#include "core/TextCodec.h"

std::u16string SettingsFailureText(const Exception& error, std::u16string_view path, bool atStart) {
  std::u16string text = error.Message() + u"\r\n\r\nFile: " + std::u16string(path);
  if (error.Place.Line > 0)
    text += u", line " + Widen(std::to_string(error.Place.Line)) + u", column " +
            Widen(std::to_string(error.Place.Column));
  text += atStart ? u".\r\n\r\nDorvane starts with an empty desk." : u".\r\n\r\nThe desk shown stays as it is.";
  return text + u" SkiffData.dat is not changed; if a change is saved, the file is first kept as SkiffData.dat.bad.";
}
