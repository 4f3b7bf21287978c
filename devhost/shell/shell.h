// The stand-in shell itself, blackbox.exe: its hidden main window
// (main.cpp), the host messages plug-ins register for (messages.cpp), loading
// and starting plug-ins (plugins.cpp), the command language of scripts, -exec
// and the tests (commands.cpp) with its wait for a window (await.cpp), the
// style items (style.cpp) and rc reading (rcfile.cpp) of host/host.h, and
// how other processes talk to the shell (protocol.h). The command table runs
// the commands of measure/ and stress/, which call back into what this
// header declares; no header of theirs includes this one.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// ---- the host's main window (main.cpp) ----------------------------------------

// Handles every message waiting for the host's thread.
void PumpMessages();
// Stops the plug-ins, empties the tray and ends the host's message loop.
void Quit();

// ---- host messages (messages.cpp) ---------------------------------------------

void Register(HWND window, const int* message_list);
void Unregister(HWND window, const int* message_list);
int RegisteredWindows();
// Sends message to every window registered for it; returns how many got it.
int Deliver(UINT message, WPARAM wParam, LPARAM lParam);
// The windows registered for message, in registration order.
std::vector<HWND> WindowsRegisteredFor(UINT message);
// MSG_TRAY_PURGE from a plug-in: drops the tray's dead icons.
void OnPurgeRequest();
// How many MSG_TRAY_PURGE the host has received so far.
int PurgeRequests();

// ---- plug-ins (plugins.cpp) ----------------------------------------------------

void LoadPlugin(const std::string& path);
void UnloadPlugin(const std::string& name);
// Stops and starts a plug-in without unloading its module.
void RestartPlugin(const std::string& name);
void UnloadAll();
// The first loaded plug-in's module and path; false when none is loaded.
bool FirstPlugin(HMODULE* module, std::string* path);
// How many plug-ins failed to start so far.
int FailedStarts();
int LoadedPlugins();

// ---- the command language (commands.cpp) ---------------------------------------

// Posted to the host window when commands wait to be run.
constexpr UINT WM_RUN_COMMANDS = WM_APP + 1;
void Queue(const std::string& command);
// Queues the commands of a script file, one a line; "#" lines are comments.
void QueueScript(const std::string& path);
void RunCommands();
void OnCommandTimer(UINT_PTR timer);
// A command another process handed over with WM_COPYDATA.
LRESULT OnCommandData(const COPYDATASTRUCT* data);
// Drops every command not yet run.
void ClearCommands();
// The second invocation: hands each command to the running host; the exit code.
int ForwardCommands(const std::vector<std::string>& commands);
// The style file in force ("" for the built-in styles).
extern std::string style_file;

// ---- waiting for a window (await.cpp) -----------------------------------------

// How often "await" looks.
constexpr UINT AWAIT_POLL_MS = 20;
// "await shown|hidden CLASS [TITLE]": false, with the usage logged, when the
// arguments are not.
bool StartAwait(const std::string& arguments);
// One look: true once the window is as awaited, or the wait timed out (logged).
bool AwaitOver();

// ---- styles (style.cpp) --------------------------------------------------------

// Styles: the built-in ones, overridden key by key from a style file ("" for
// none). Read again on every reconfigure.
void LoadStyles(const std::string& style_file);
// Every font CreateStyleFont hands out is appended to sink while it is set.
void CollectStyleFonts(std::vector<HFONT>* sink);
// The fill colour of a style index when its fill is one colour throughout.
bool SolidStyleColor(int style_index, COLORREF* color);
