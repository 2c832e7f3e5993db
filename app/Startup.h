#pragma once

// The start-up routine: opens the shared connection, then leads through the About box into the
// main window. Returns the process exit status.
namespace Startup {
int main(int argc, char** argv);
}
