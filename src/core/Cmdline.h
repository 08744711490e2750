// The program's command line turned into events: a file name given first,
// and switches such as /R or -r, one event per letter. The Windows side
// hands over the process's command line; the file-existence test comes in
// as a parameter so that the rules run anywhere.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The characters that can start a switch, in this order.
enum TSwitch_Chars : std::uint8_t {
  swDash,          // -
  swPlus,          // +
  swEquals,        // =
  swBackSlash,     // '\'
  swForwardSlash,  // /
  swVertLine,      // |
  swHash,          // #
  swGreaterThan,   // >
  swLessThan,      // <
};

inline constexpr char16_t kSwitchCharacters[] = {u'-', u'+', u'=', u'\\', u'/', u'|', u'#', u'>', u'<'};
inline constexpr int kSwitchCharCount = 9;

// The member for a character, or -1 when it is none of the nine.
int SwitchCharOf(char16_t c);

// A set of switch characters.
class TSwitchType {
 public:
  constexpr TSwitchType() = default;
  constexpr TSwitchType(std::initializer_list<TSwitch_Chars> members) {
    for (TSwitch_Chars m : members) Include(m);
  }
  constexpr bool Contains(TSwitch_Chars m) const { return (FBits >> m) & 1u; }
  constexpr void Include(TSwitch_Chars m) { FBits = static_cast<std::uint16_t>(FBits | (1u << m)); }
  constexpr void Exclude(TSwitch_Chars m) { FBits = static_cast<std::uint16_t>(FBits & ~(1u << m)); }
  constexpr bool operator==(const TSwitchType&) const = default;

 private:
  std::uint16_t FBits = 0;
};

// The parameters of a command line, without the program's own path (its
// first token). Blanks are the characters up to code 32; double quotes
// group and are removed; a pair of quotes that starts a parameter is
// skipped. The list ends at the first parameter that comes out empty.
std::vector<std::u16string> ParamList(std::u16string_view commandLine);

// Sender: the object an event comes from (the component's owner for
// switches, the component itself for the file name).
using TCmdLineEvent = std::function<void(void* Sender, const std::u16string& Switch,
                                         const std::u16string& ParameterStr)>;
using TFilenameEvent = std::function<void(void* Sender, const std::u16string& TheFilename)>;
// Whether a file of that name exists.
using TFileExists = std::function<bool(const std::u16string& fileName)>;

class TCommandLineParameters {
 public:
  explicit TCommandLineParameters(void* owner = nullptr) : FOwner(owner) {}
  TCommandLineParameters(const TCommandLineParameters&) = delete;
  TCommandLineParameters& operator=(const TCommandLineParameters&) = delete;

  void* Owner() const { return FOwner; }

  TSwitchType EnabledSwitchChars{swDash, swForwardSlash};
  bool FileMustExist = true;
  TFilenameEvent OnFilename;
  std::array<TCmdLineEvent, 26> OnSwitch;  // A to Z
  TCmdLineEvent OnQuestionMark;

  // The event of one letter, in either case ('R' or 'r'); anything but a
  // letter throws std::out_of_range.
  TCmdLineEvent& OnSwitchOf(char letter);
  TCmdLineEvent& OnSwitch_A() { return OnSwitchOf('A'); }
  TCmdLineEvent& OnSwitch_B() { return OnSwitchOf('B'); }
  TCmdLineEvent& OnSwitch_C() { return OnSwitchOf('C'); }
  TCmdLineEvent& OnSwitch_D() { return OnSwitchOf('D'); }
  TCmdLineEvent& OnSwitch_E() { return OnSwitchOf('E'); }
  TCmdLineEvent& OnSwitch_F() { return OnSwitchOf('F'); }
  TCmdLineEvent& OnSwitch_G() { return OnSwitchOf('G'); }
  TCmdLineEvent& OnSwitch_H() { return OnSwitchOf('H'); }
  TCmdLineEvent& OnSwitch_I() { return OnSwitchOf('I'); }
  TCmdLineEvent& OnSwitch_J() { return OnSwitchOf('J'); }
  TCmdLineEvent& OnSwitch_K() { return OnSwitchOf('K'); }
  TCmdLineEvent& OnSwitch_L() { return OnSwitchOf('L'); }
  TCmdLineEvent& OnSwitch_M() { return OnSwitchOf('M'); }
  TCmdLineEvent& OnSwitch_N() { return OnSwitchOf('N'); }
  TCmdLineEvent& OnSwitch_O() { return OnSwitchOf('O'); }
  TCmdLineEvent& OnSwitch_P() { return OnSwitchOf('P'); }
  TCmdLineEvent& OnSwitch_Q() { return OnSwitchOf('Q'); }
  TCmdLineEvent& OnSwitch_R() { return OnSwitchOf('R'); }
  TCmdLineEvent& OnSwitch_S() { return OnSwitchOf('S'); }
  TCmdLineEvent& OnSwitch_T() { return OnSwitchOf('T'); }
  TCmdLineEvent& OnSwitch_U() { return OnSwitchOf('U'); }
  TCmdLineEvent& OnSwitch_V() { return OnSwitchOf('V'); }
  TCmdLineEvent& OnSwitch_W() { return OnSwitchOf('W'); }
  TCmdLineEvent& OnSwitch_X() { return OnSwitchOf('X'); }
  TCmdLineEvent& OnSwitch_Y() { return OnSwitchOf('Y'); }
  TCmdLineEvent& OnSwitch_Z() { return OnSwitchOf('Z'); }

  // Raises the events for a whole command line (program path first). The
  // file-existence test is asked only when its answer matters. Nothing is
  // reported: what selects no assigned event is skipped.
  void ProcessCommandLine(std::u16string_view commandLine, const TFileExists& fileExists);

 private:
  void* FOwner;
};
