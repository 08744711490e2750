// The desk watcher's side of the agreement with Dorvane: its command line,
// the shared block that names what to give back, and its exit codes. The
// watcher is a program of its own (DorvaneWatch.exe) with no C++ runtime,
// so this part uses nothing of the standard library but plain types.
#pragma once

#include <cstdint>

inline constexpr wchar_t kDeskWatcherFile[] = L"DorvaneWatch.exe";

// Dorvane starts the watcher as "relay"; the relay starts the watcher proper
// ("watch") with the same handles and ends, so that the watcher belongs to
// neither Dorvane's process tree nor (where the job allows) its job. Both
// words are five letters: the relay turns one into the other in place.
inline constexpr char16_t kDeskRelayWord[] = u"relay";
inline constexpr char16_t kDeskWatchWord[] = u"watch";
inline constexpr int kDeskStageWordLength = 5;

// What Dorvane has hidden and the watcher shows again when Dorvane's
// process ends: window handles as 32-bit values, 0 for nothing. The relay
// writes the id of the watcher it started.
struct TDeskShared {
  volatile std::int32_t Taskbar;
  volatile std::int32_t Desktop;
  volatile std::int32_t WatcherId;
};

struct TDeskWatchArgs {
  bool Relay = false;
  int StageOffset = 0;  // where the stage word stands in the command line
  std::uint64_t Process = 0;  // Dorvane's process handle, inherited
  std::uint64_t Mapping = 0;  // the shared block's mapping handle, inherited
  std::uint64_t ParentId = 0;  // Dorvane's process id
};

// "PROGRAM relay|watch PROCESS MAPPING PARENTID", the numbers in decimal.
// The program name is skipped as Windows does (quoted, or up to a blank).
// False for anything else, and for handle values that no inherited handle
// can have: 0 and pseudo-handles (the current process is -1, its thread -2
// and so on; in general anything with the top bit of 32 set).
bool ParseDeskWatchCommand(const char16_t* commandLine, TDeskWatchArgs& args);

// The watcher's exit codes (5 is taken by a crash under Wine).
enum TDeskWatchExit : int {
  dwDone = 0,           // relay: watcher started; watch: Dorvane ended, desk given back
  dwBadArguments = 2,   // not the command line above
  dwNotParent = 3,      // the process handle is not the given id's
  dwNoSharedBlock = 4,  // the mapping cannot be read
  dwCannotWatch = 6,    // the watcher could not be started, or the wait failed
};
