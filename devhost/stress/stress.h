// The host command "stress [interactive] N SEED FILE": thousands of
// broadcasts to the loaded plug-in with faults between them, and with
// "interactive" real keys and mouse actions too, each checked against the shell's
// own model of the list (run.cpp says what it does). The folder's files share
// the run's class through run.h; the rest of the shell sees only the command.
#pragma once

#include <string>

void RunStress(const std::string& arguments);
