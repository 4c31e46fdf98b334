#pragma once
// The console a player sees. Started from a prompt, vorlix-sim shares the prompt's window; started
// from Explorer (a double click, or a file dropped onto it) Windows opens a window for it alone,
// which would close the moment the program ends, before anyone could read it.

namespace sim::cli {

// Lets the console show the UTF-8 text the program writes, for as long as the program runs.
void showUtf8OnConsole();

// True when the console window was opened for this program alone and shows what it writes.
bool consoleWindowIsOurOwn();

// Asks for a key and waits for it.
void waitForKeyPress();

}  // namespace sim::cli
