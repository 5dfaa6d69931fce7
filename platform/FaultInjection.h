#pragma once
// A seam for tests of the error paths: makes the n-th write, flush, close, rename, folder sync or
// removal of the platform layer fail as a full or broken disk would, or the n-th open or read of a
// file that is only read, or the n-th entry read from a folder's listing. Unused, it costs one flag check.
#include <functional>

namespace platform::fault {

enum class Step { Create, Write, Flush, Close, Rename, SyncDir, Remove, OpenRead, Read, List };

// The n-th operation of that step from now on (n >= 1) fails: writes with ENOSPC, the others with EIO.
void FailAt(Step step, int n);
// Disarms every pending failure and action and forgets whether one fired.
void Reset();
// Runs action just before each of the next times safe writes check and replace their target,
// standing in for another program that changes the file at that moment.
void BeforeReplace(std::function<void()> action, int times = 1);
void RunBeforeReplace();
// Runs action each time a tree removal has found a folder and is about to enter it, standing in
// for another program that swaps something into its place at that moment.
void BeforeDescend(std::function<void()> action);
void RunBeforeDescend();
// Runs action once, right after the next file that is only read has been opened, standing in for
// another program that puts a file in its place at that moment.
void AfterOpenRead(std::function<void()> action);
void RunAfterOpenRead();

// True once an armed failure has been delivered since the last FailAt or Reset.
bool Fired();

// For crash tests: the n-th pass through the seam from now on (n >= 1), whatever its step, kills
// the process on the spot (SIGKILL where there is one): nothing is unwound, closed or removed.
// Opens and reads of files that are only read change nothing on disk and are not counted.
void CrashAt(int n);

namespace detail {
extern bool armed;
bool Consume(Step step);
}  // namespace detail

// True while a failure, a crash or an action is pending. The seam counts operations in the order
// they come, which work spread over threads would make a matter of chance: such work runs on one
// thread then.
bool Armed();

// True when this operation is to fail; the caller then sets errno and reports the failure.
inline bool ShouldFail(Step step) { return detail::armed && detail::Consume(step); }

// The error code an injected failure of step reports.
int InjectedError(Step step);

// InjectedError(step) when this operation is to fail, else 0: each step passes the seam with this
// before it asks the system.
inline int Injected(Step step) { return ShouldFail(step) ? InjectedError(step) : 0; }

}  // namespace platform::fault
