// Start-up and halt: the version check's texts, the order of module construction and
// destruction, exit procedures, and a halt asked for by a second thread.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/queue/queue.h"
#include "platform/queue/thread.h"
#include "platform/window/window.h"
#include "runtime/core/startup.h"
#include "runtime/window/operations.h"
#include "tests/runtime/runtime_test.h"

namespace tamsil::testing {
namespace {

struct VersionCase {
  const char* name;
  VersionRecord module;
  const char* file;
  std::optional<std::string> text;
};

class VersionCheckTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionCheckTest, GivesTheTextOfItsCase) { EXPECT_EQ(VersionCheck(GetParam().module, GetParam().file), GetParam().text); }

const std::string kWillNot = " will not operate correctly with the current version of Tamsil\r\nPlease, obtain a new version of this program";

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionCheckTest,
    ::testing::Values(
        VersionCase{"SameVersionPasses", {true, false, 6300, 0}, "k.exe", std::nullopt},
        VersionCase{"MajorZero", {true, false, 99, 0}, "", "This program was built using Tamsil 6.0 or below\r\n" + kWillNot},
        VersionCase{"MajorZeroComponent", {false, false, 42, 0}, "", "A component DLL was built using Tamsil 6.0 or below\r\n" + kWillNot},
        VersionCase{
            "Beta", {true, true, 6300, 7}, "/opt/k.exe", "/opt/k.exe was built using the beta version of Tamsil 6.300.7\r\n" + kWillNot},
        VersionCase{"NewerMinor",
                    {true, false, 6305, 2},
                    "k.exe",
                    std::string("k.exe requires Tamsil version 6.305.2 or later\r\nCurrent version is 6.300.0")},
        VersionCase{"OtherMajor",
                    {true, false, 5500, 0},
                    "k.exe",
                    std::string("k.exe requires Tamsil version 5.500.0 or later\r\nCurrent version is 6.300.0")}),
    [](const ::testing::TestParamInfo<VersionCase>& p) { return std::string(p.param.name); });

std::string gOrder;
void note(const char* s) { gOrder += s; }

constexpr ModuleRecord kModules[] = {
    {5, [] { note("P1 "); }, [] { note("~P1 "); }, [] { note("T1 "); }, [] { note("~T1 "); }},
    {5, [] { note("P2 "); }, [] { note("~P2 "); }, nullptr, [] { note("~T2 "); }},
};

using StartupDeathTest = RuntimeTest;

TEST_F(StartupDeathTest, ModulesAreBuiltInOrderAndTakenDownInReverseByHalt) {
  EXPECT_EXIT(
      {
        ResetRuntimeForTests();
        ProcessEntry({kModules, kRuntimeVersion, "t"}, [] {
          AddExitProcedure([](int i) { note(("X" + std::to_string(i) + " ").c_str()); });
          AddExitProcedure([](int i) { note(("X" + std::to_string(i) + " ").c_str()); });
          note("main ");
          std::atexit([] { std::fprintf(stderr, "order: %s\n", gOrder.c_str()); });
        });
      },
      ::testing::ExitedWithCode(0), "order: P1 P2 T1 main X2 X1 ~T2 ~T1 ~P2 ~P1 \n");
}

// After the main procedure the first thread's windows are let go (posting is switched off only
// afterwards), before Halt runs the exit procedures.
TEST_F(StartupDeathTest, WindowsLeftOpenAfterMainAreReleasedBeforeTheExitProcedures) {
  EXPECT_EXIT(
      {
        ResetRuntimeForTests();
        ProcessEntry({kModules, kRuntimeVersion, "t"}, [] {
          static window::Window* left = new window::Window("RuntimeTest$Main", "P1$WINDOW");  // never closed by the program
          window::OpenWindowOp(*left);
          static const platform::HWND handle = left->handle;
          AddExitProcedure([](int) {
            std::fprintf(stderr, "window %s, handle %s, stack %zu, posting %s\n", platform::IsWindow(handle) ? "open" : "closed",
                         left->handle ? "kept" : "gone", currentThreadContext()->windows.size(), PostingAllowed() ? "on" : "off");
          });
        });
      },
      ::testing::ExitedWithCode(0), "window closed, handle gone, stack 0, posting off");
}

TEST_F(StartupDeathTest, FailedVersionCheckEndsWithoutRunningMainAndNotWithZero) {
  EXPECT_EXIT(ProcessEntry({kModules, {true, false, 42, 0}, "old.exe"}, [] { std::fputs("main ran\n", stderr); }),
              ::testing::ExitedWithCode(kStartupFailedExitCode),
              "message box \"Tamsil 6.3 build Tamsil 6.300.00\" \"old.exe was built using Tamsil 6.0 or below");
}

TEST_F(StartupDeathTest, HaltFromASecondThreadIsCarriedOutByTheFirst) {
  EXPECT_EXIT(
      {
        ResetRuntimeForTests();
        ProcessEntry({kModules, kRuntimeVersion, "t"}, [] {
          static const platform::DWORD mainThread = platform::GetCurrentThreadId();
          AddExitProcedure([](int) {
            std::fprintf(stderr, "exit procedure on the %s thread\n", platform::GetCurrentThreadId() == mainThread ? "first" : "second");
          });
          window::Window w("RuntimeTest$Main", "P1$WINDOW");
          window::OpenWindowOp(w);
          platform::Thread second([] {
            RuntimeThreadScope scope;
            Halt(3);
            Halt(4);  // a second request is dropped
          });
          second.join();
          window::Accept([] { window::EndEventPass(0); });
        });
      },
      ::testing::ExitedWithCode(3), "exit procedure on the first thread");
}

// With no window on the first thread nobody would hear the request: the asking thread halts
// the process itself, even while the first thread waits for something that never comes.
TEST_F(StartupDeathTest, HaltFromASecondThreadWithoutAWindowEndsTheProcessItself) {
  EXPECT_EXIT(
      {
        ResetRuntimeForTests();
        ProcessEntry({kModules, kRuntimeVersion, "t"}, [] {
          AddExitProcedure([](int) { std::fputs("exit procedure ran\n", stderr); });
          platform::Thread second([] {
            RuntimeThreadScope scope;
            Halt(3);
          });
          std::this_thread::sleep_for(std::chrono::seconds(30));  // the first thread never pumps
        });
      },
      ::testing::ExitedWithCode(3), "exit procedure ran");
}

}  // namespace
}  // namespace tamsil::testing
