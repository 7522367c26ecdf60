#pragma once

// With CORVALE_STARTUP_TRACE set, tells the debugger "corvale-startup MS PHASE": the
// milliseconds from the process's creation to the end of PHASE (bench/startup_phases.sh reads
// them). Without it, does nothing. The system clock's step limits it on Windows; Wine's is fine.
void StartupMark(const char* phase);
