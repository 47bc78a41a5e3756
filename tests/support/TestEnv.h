#pragma once
// Paths of the test environment. The test main points HOME and the XDG
// folders at a private temporary folder before anything starts, so no test
// touches the real user's files.

#include <QString>

namespace TestEnv {
// Makes the private root and points HOME, the XDG folders, Qt and SDL at
// it. Every test main calls it first.
void setUp();
// The private root holding home/, config/, data/, runtime/.
QString root();
// A fixture file below tests/fixtures.
QString fixture(const QString& name);
// The velmoplayer executable built beside the tests.
QString playerBinary();
}  // namespace TestEnv
