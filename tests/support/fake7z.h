// Driving and reading the recording fake 7-zip32.dll (see tests/fake7z).
#pragma once
#include <string>
#include <vector>

namespace testsupport {

// dir is the fake's control folder; empty: FAKE7Z_DIR, or the test program's
// own folder, where the fake library lies beside it.
// Writes script.ini (INI text, e.g. "[fake]\nresults=0,0x8102\n") into dir
// and deletes the log.
void FakeReset(const std::string& script, const std::string& dir = std::string());
// Every logged line, raw bytes, without line ends.
std::vector<std::string> FakeLog(const std::string& dir = std::string());
// The logged lines of one entry point, without the name and its TAB
// ("" for calls without arguments).
std::vector<std::string> FakeCalls(const std::string& name, const std::string& dir = std::string());
// "%08lX" of a window handle, as the fake logs it.
std::string HwndText(const void* wnd);

} // namespace testsupport
