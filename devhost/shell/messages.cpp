// The host messages: which windows asked for which messages (MSG_REGISTER,
// MSG_UNREGISTER), their delivery, and the plug-ins' purge requests.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "devhost/log/log.h"
#include "devhost/shell/shell.h"
#include "devhost/systray/systray.h"

namespace {

// The longest message list the host reads; a list ends at its first 0.
constexpr int MESSAGE_LIST_MAX = 64;

// Windows registered per host message, in registration order.
std::map<UINT, std::vector<HWND>> registrations;
int purge_requests;

std::string MessageListText(const int* list) {
    std::string text;
    for (int i = 0; list && list[i] && i < MESSAGE_LIST_MAX; ++i)
        text += (text.empty() ? "" : ",") + std::to_string(list[i]);
    return text;
}

void Forget(UINT message, HWND window) {
    std::vector<HWND>& windows = registrations[message];
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

}  // namespace

void Register(HWND window, const int* list) {
    for (int i = 0; list && list[i] && i < MESSAGE_LIST_MAX; ++i) {
        std::vector<HWND>& windows = registrations[list[i]];
        if (std::find(windows.begin(), windows.end(), window) == windows.end())
            windows.push_back(window);
    }
    Log("register hwnd=%s msgs=%s", Hex(window).c_str(), MessageListText(list).c_str());
}

void Unregister(HWND window, const int* list) {
    for (int i = 0; list && list[i] && i < MESSAGE_LIST_MAX; ++i) Forget(list[i], window);
    Log("unregister hwnd=%s msgs=%s", Hex(window).c_str(), MessageListText(list).c_str());
}

int RegisteredWindows() {
    int count = 0;
    for (const auto& entry : registrations) count += static_cast<int>(entry.second.size());
    return count;
}

// A copy of the list, since a receiver may unregister while it runs. Windows
// that died are dropped.
int Deliver(UINT message, WPARAM wParam, LPARAM lParam) {
    const std::vector<HWND> windows = registrations[message];
    int delivered = 0;
    for (HWND window : windows) {
        if (!IsWindow(window)) {
            Forget(message, window);
            continue;
        }
        SendMessageA(window, message, wParam, lParam);
        ++delivered;
    }
    return delivered;
}

std::vector<HWND> WindowsRegisteredFor(UINT message) {
    const auto found = registrations.find(message);
    return found == registrations.end() ? std::vector<HWND>() : found->second;
}

void OnPurgeRequest() {
    ++purge_requests;
    TrayPurge();
}

int PurgeRequests() { return purge_requests; }
