// The "shutdown" start: a notice for ten seconds, then the system shuts down.
#pragma once

void ShowShutdownNotice();
