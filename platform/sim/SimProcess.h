#pragma once
// Test control of the sim process: its id.
namespace sim {

constexpr unsigned kDefaultProcessId = 4242;
// The id plat::ProcessId reports (kDefaultProcessId until set).
void SetProcessId(unsigned id);

}  // namespace sim
