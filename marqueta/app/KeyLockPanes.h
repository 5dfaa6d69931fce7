#pragma once
// The status bar's key-lock panes: caps lock, num lock, scroll lock.
class QStatusBar;

// Adds the three panes, each wide enough for its indicator ("CAP", "NUM", "SCRL"). Qt cannot
// read the lock keys' state on every platform, so the indicators stay blank, as they are while
// a lock is off.
void AddKeyLockPanes(QStatusBar& statusBar);
