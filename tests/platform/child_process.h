// Helpers for tests that must run code in a separate process: to kill it mid-write, to give
// it resource limits or to take root's privileges away, without touching the test process.
#pragma once

#include <functional>

namespace korvex::testing {

// Runs `body` in a forked child that ends with body's result (an escaping exception ends it
// with 125) and returns the child's wait status. The child writes no core file.
int RunInChild(const std::function<int()>& body);

// In a child: gives up root (to user and group "nobody"), so that permission checks apply.
// True when the process is unprivileged afterwards.
bool BecomeUnprivileged();

}  // namespace korvex::testing
