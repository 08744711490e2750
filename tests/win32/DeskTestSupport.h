// The main window over a settings file of its own, as the DPI and keyboard
// tests use it: its starts are recorded, never run, the tray is answered
// without the shell, and messages go through the window's own loop.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "win32/MainWin.h"

#include "WindowTestSupport.h"

class TDeskTest : public testing::Test {
 protected:
  TTempFolder temp{L"Dorvane desk"};
  const std::wstring& folder = temp.Path();
  TApplication app{GetModuleHandleW(nullptr)};
  std::vector<std::u16string> runs;
  std::u16string runFailure;  // a start raises this when set
  std::unique_ptr<TMainForm> form;

  void SetUp() override {
    app.MessageBoxProc = [](HWND, const std::u16string&, const std::u16string&, UINT) { return IDNO; };
  }
  void TearDown() override {
    form.reset();
    Pump();
  }

  TMainForm& Start(const std::string& body) {
    form.reset();
    std::ofstream((folder + L"SkiffData.dat").c_str(), std::ios::binary) << "object TSkiffData " << body << " end";
    TMainFormEnv env;
    env.SettingsFile = folder + L"SkiffData.dat";
    env.EndsProgram = false;
    env.IniFolder = folder;
    env.TrayNotify = [](DWORD, NOTIFYICONDATAW&) { return TRUE; };
    env.RunProgram = [this](HWND, const std::u16string& file, const std::u16string&, const std::u16string&, int) {
      if (!runFailure.empty()) throw Exception(runFailure);
      runs.push_back(file);
      return 42;
    };
    form = std::make_unique<TMainForm>(app, env);
    form->Create();
    form->Show();
    SetCursorPos(0, 0);  // no tool tip under the mouse: these tests have no mouse
    SetForegroundWindow(form->Handle());
    Loop();
    return *form;
  }

  // The program's message loop, until the queue has been quiet a while.
  void Loop() {
    const DWORD start = GetTickCount();
    for (DWORD quiet = start; GetTickCount() - quiet < 150 && GetTickCount() - start < 3000;) {
      MSG msg;
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        form->HandleQueuedMessage(msg);
        quiet = GetTickCount();
      } else {
        Sleep(5);
      }
    }
  }
};
