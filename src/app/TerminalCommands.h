#pragma once

// The terminal commands for what the application's libraries simulate or configure: `location`,
// `tweet-sheet`, `endpoint`, `can-open` and `multitasking`. Added to ui::TerminalDriver once at launch.
void addTerminalCommands();
