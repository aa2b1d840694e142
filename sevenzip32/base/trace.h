// An opt-in record of where a call's time goes, for the benchmarks: with
// SEVENZIP32_TRACE naming a file (a Windows path, or under Wine a host
// path), each entry point appends one line per phase, the milliseconds since
// it began first. Without the variable nothing is written.
#pragma once
#include <windows.h>

// Begins the trace of one entry point's call (what names it). Its line holds
// the wall-clock time (epoch=, ms since 1970) and the process's age (process=).
// Unless always, the call is written only once one of its phases is: a
// drop of 200 files classified in-process writes its first call alone.
void SzTraceBegin(LPCSTR what, bool always = true);

// One phase of the call: "ms phase detail".
void SzTrace(LPCSTR phase, LPCSTR detail = NULL);

// The call's end with its result, and the wall-clock time again.
void SzTraceEnd(int result);
