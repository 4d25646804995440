#pragma once

// Makes a pure virtual call, as a base-class constructor does when it
// reaches a function only the derived class implements. Returns only if the
// call did not end the process.
int RunPureCallScenario();
